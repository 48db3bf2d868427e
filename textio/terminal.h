// Terminal mode: the text console used when no graphics screen is open.
// Output goes to standard output: code page 437 bytes, turned into UTF-8 when
// the character-type locale uses UTF-8, or when it is the plain C locale and
// the output is a terminal. Keys and lines come from standard input, one byte
// per key; input read as UTF-8 (under a UTF-8 locale, or from a terminal under
// the plain C locale) is turned into code page 437 first, with "?" for what
// has no code page 437 byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace textio {

constexpr int32_t kTerminalColumns = 80;
constexpr int32_t kTerminalRows = 25;
constexpr int kEndOfInput = -1;
constexpr int kTimedOut = -2;

// Detects terminals and the output encoding; call after the locale is set.
void TerminalInit();
// Uses other descriptors (tests); `utf8` chooses the encoding of output and input.
void TerminalAttach(int inFd, int outFd, bool utf8);
// Writes out buffered output and restores the terminal's modes.
void TerminalFinish();

void TerminalWrite(const char* bytes, size_t length);
// Writes typed text back as the window would show it: control bytes appear as
// their pictures (or "?" where the output's character set has none) and a tab
// as blanks to the next tab stop, so that input can never control the
// terminal.
void TerminalEcho(const char* bytes, size_t length);
void TerminalFlush();
void TerminalClear();
int32_t TerminalLocate(int32_t row, int32_t column);
void TerminalCursor(int32_t* column, int32_t* row);
void TerminalBell();

// Reads one line without its line end: a line feed, a carriage return, or
// both. Of a line longer than kTerminalLineLimit bytes the rest is read and
// dropped, and a message on standard error says so. Returns false at end of
// input when nothing was read (the line is then empty).
constexpr size_t kTerminalLineLimit = 64 * 1024;
bool TerminalReadLine(std::string* line);
// One key: a byte 0..255, kEndOfInput, or kTimedOut after `timeoutMs` (-1 waits).
int TerminalReadKey(int timeoutMs);
// Steps back over the byte the last TerminalReadKey returned, so that the next
// read delivers it again.
void TerminalUnreadByte();
// While held (calls nest), the terminal stays in raw mode between key reads,
// so keys typed during output are neither echoed nor held back for a line.
void TerminalHoldRaw(bool hold);
// True when output is turned into UTF-8.
bool TerminalUtf8();
// The same rule for text written to descriptor `fd` by other means (on
// Windows a standard stream): true under a UTF-8 locale, or when `fd` is a
// terminal under the plain C locale.
bool TerminalUtf8For(int fd);
// Code page 437 text as it is written to descriptor `fd`: turned into UTF-8
// when TerminalUtf8For(fd), else the bytes themselves.
std::string TextForStream(int fd, std::string_view cp437);
// Writes "wellenlaenge: " and the code page 437 `message` with a line end to
// standard error, in its encoding. Main thread.
void SayOnStandardError(std::string_view message);
// Visibility 0 hides the terminal's cursor, a positive value shows it, a
// negative one keeps it. Returns true when the cursor is shown.
bool TerminalShowCursor(int visibility);
// True when a key can be read without waiting (or input has ended).
bool TerminalKeyReady();
bool TerminalInputEnded();
bool TerminalInputIsTerminal();
bool TerminalOutputIsTerminal();

}  // namespace textio
