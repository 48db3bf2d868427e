// Keys from a terminal: the escape sequences of the cursor block and the
// function keys become the same key codes the graphics window posts.
#pragma once

#include <cstddef>
#include <cstdint>

#include "textio/key_code.h"

namespace textio {

// How long the byte after an Escape may take to count as part of a sequence.
constexpr int kEscapeSequenceMs = 50;

// Reads one key press: a byte (DEL arrives as Backspace, 8), or an extended
// key code for a recognised escape sequence; a lone Escape is 27. Sequences
// that name no key are read in full and skipped. A character typed on a UTF-8
// terminal arrives as its code page 437 byte ("?" when it has none; see
// terminal.h). Returns kEndOfInput, or kTimedOut when no key came within
// `timeoutMs` (-1 waits).
int32_t TerminalReadKeyCode(int timeoutMs);

}  // namespace textio
