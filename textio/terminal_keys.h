// Keys from a terminal: the escape sequences of the cursor block and the
// function keys become the same key codes the graphics window posts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace textio {

// The code of the extended key whose second byte is `secondByte`.
constexpr int32_t ExtendedKeyCode(int secondByte) {
    return 255 + 256 * secondByte;
}

// Second bytes of the extended keys a terminal can send.
enum ExtendedKeyByte : int {
    kKeyF1 = 59,  // F1..F10 are 59..68
    kKeyHome = 71,
    kKeyUp = 72,
    kKeyPageUp = 73,
    kKeyLeft = 75,
    kKeyRight = 77,
    kKeyEnd = 79,
    kKeyDown = 80,
    kKeyPageDown = 81,
    kKeyInsert = 82,
    kKeyDelete = 83,
    kKeyF11 = 133,
    kKeyF12 = 134,
};

// How long the byte after an Escape may take to count as part of a sequence.
constexpr int kEscapeSequenceMs = 50;

// Reads one key press: a byte (DEL arrives as Backspace, 8), or an extended
// key code for a recognised escape sequence; a lone Escape is 27. Sequences
// that name no key are read in full and skipped. On a UTF-8 terminal a typed
// character becomes its code page 437 byte (characters without one are
// skipped). Returns kEndOfInput, or kTimedOut when no key came within
// `timeoutMs` (-1 waits).
int32_t TerminalReadKeyCode(int timeoutMs);

// Writes the key text of `code` (one byte, or 255 and the second byte of an
// extended key) to out; returns its length.
size_t KeyCodeText(int32_t code, char out[2]);

}  // namespace textio
