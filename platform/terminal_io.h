// The operating system under terminal mode: standard input and output, the
// terminal's modes, and waiting for input. Descriptors are the C library's
// file numbers (0 standard input, 1 standard output, 2 standard error).
// Each platform folder (posix/, win32/) supplies them.
#pragma once

#include <cstddef>

#include "platform/file_io.h"

namespace platform {

// The program's single-byte character set, for consoles that take characters
// rather than bytes: a byte's character, and a character's byte (-1: none).
struct ByteCharset {
    char32_t (*toUnicode)(unsigned char byte);
    int (*fromUnicode)(char32_t ch);
};

// Makes standard input and output usable. A windowed Windows program has none
// when started without redirection: it then attaches to the console of the
// process that started it, or opens a console of its own. Runs at the first use
// of the terminal, not at start-up, so a run in the window never opens one.
// Console text is converted through `charset` from then on.
void PrepareStandardStreams(const ByteCharset& charset);

// True when the descriptor is an interactive terminal (or console).
bool IsTerminal(int fd);
// True when the character-type locale uses UTF-8, so terminal text is UTF-8.
bool LocaleUsesUtf8();
// True when the character-type locale is the plain C (POSIX) one, as on a
// system where no locale was chosen; terminals there most likely use UTF-8.
bool LocaleIsPlainC();
// True when the cursor and the screen of the output `fd` can be controlled.
bool ControlsScreen(int fd);

enum class ScreenControl { kClear, kMoveCursor, kHideCursor, kShowCursor };
constexpr size_t kMaxControlSequence = 32;
// True when screen controls are bytes in the output stream (terminals); false
// when they are system calls (Windows consoles), before which the caller
// writes out the text it holds.
bool ScreenControlInStream();
// Clears the screen (cursor to the top left), moves the cursor to 1-based
// `row` and `column`, or hides or shows it. Returns the length of the bytes
// put into `sequence` to be written in order with the text, or 0 when the
// control was carried out at once.
size_t ControlScreen(int fd, ScreenControl what, int row, int column,
                     char (&sequence)[kMaxControlSequence]);

// Remembers the terminal's modes, so that raw mode can be left again.
bool SaveTerminalModes(int fd);
// Raw mode: every key is handed over at once, without echo; off restores the
// saved modes.
void SetRawMode(int fd, bool raw);

// Writes everything: kNone when all is written, otherwise why the output
// took no more (kClosed for a closed pipe, kNoSpace for a full device, ...).
// A wait for a reader that takes nothing ends with kInterrupted once an
// interrupt or a program-end request has woken the waits (WakeWaits) and the
// reader has not taken the next bytes within kEndingWriteWaitMs.
constexpr int kEndingWriteWaitMs = 200;
IoError WriteAll(int fd, const char* bytes, size_t length);

enum class WaitResult { kReady, kTimedOut, kWoken, kFailed };
// Waits until input can be read, the time-out passes (-1 waits), or a wait was
// woken by an interrupt or a program-end request.
WaitResult WaitForInput(int fd, int timeoutMs);

// Reads what is there: the byte count, 0 at end of input, kReadAgain when
// nothing usable arrived (a key release on a console, an interrupted call),
// kReadFailed when the system reports an error (a folder, a failing device).
constexpr long kReadAgain = -1;
constexpr long kReadFailed = -2;
long ReadSome(int fd, unsigned char* buffer, size_t size);

}  // namespace platform
