#include "textio/terminal_keys.h"

#include "textio/terminal.h"

namespace textio {

namespace {

constexpr int kEscape = 27;
constexpr int kBackspace = 8;
constexpr int kDel = 127;
// A key that was read in full but names nothing this program knows.
constexpr int32_t kNoCode = -100;
// Longest run of parameter and intermediate bytes taken from one sequence.
constexpr int kMaxSequenceBytes = 16;
// Largest value of a numeric parameter; a longer one makes the sequence unknown.
constexpr int kMaxParameter = 9999;

// Keeps the terminal raw for the bytes of one key.
class RawHold {
  public:
    RawHold() { TerminalHoldRaw(true); }
    ~RawHold() { TerminalHoldRaw(false); }
    RawHold(const RawHold&) = delete;
    RawHold& operator=(const RawHold&) = delete;
};

int32_t Extended(int secondByte) {
    return ExtendedKeyCode(secondByte);
}

// The final byte of an SS3 sequence (ESC O x), or of a CSI sequence that
// carries only modifiers.
int32_t LetterKey(int final) {
    switch (final) {
        case 'A':
            return Extended(kKeyUp);
        case 'B':
            return Extended(kKeyDown);
        case 'C':
            return Extended(kKeyRight);
        case 'D':
            return Extended(kKeyLeft);
        case 'H':
            return Extended(kKeyHome);
        case 'F':
            return Extended(kKeyEnd);
        case 'P':
        case 'Q':
        case 'R':
        case 'S':
            return Extended(kKeyF1 + (final - 'P'));
        default:
            return kNoCode;
    }
}

// ESC [ n ~ with the number n.
int32_t TildeKey(int n) {
    switch (n) {
        case 1:
        case 7:
            return Extended(kKeyHome);
        case 2:
            return Extended(kKeyInsert);
        case 3:
            return Extended(kKeyDelete);
        case 4:
        case 8:
            return Extended(kKeyEnd);
        case 5:
            return Extended(kKeyPageUp);
        case 6:
            return Extended(kKeyPageDown);
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
            return Extended(kKeyF1 + (n - 11));  // F1..F5
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
            return Extended(kKeyF1 + 5 + (n - 17));  // F6..F10
        case 23:
            return Extended(kKeyF11);
        case 24:
            return Extended(kKeyF12);
        default:
            return kNoCode;
    }
}

// The rest of a sequence after ESC [. Modifier parameters (as in ESC [ 1 ; 5 C)
// are read and dropped: the key counts as the plain key.
int32_t ReadCsi() {
    int c = TerminalReadKey(kEscapeSequenceMs);
    if (c == kTimedOut || c == kEndOfInput) {
        TerminalUnreadByte();  // Escape, then '[' as a key of its own
        return kEscape;
    }
    if (c == '[') {  // the Linux console's F1..F5: ESC [ [ A..E
        c = TerminalReadKey(kEscapeSequenceMs);
        if (c >= 'A' && c <= 'E') return Extended(kKeyF1 + (c - 'A'));
        return kNoCode;
    }
    int first = -1;      // the first numeric parameter
    int parameter = -1;  // the parameter being read
    bool inFirst = true;
    bool overLong = false;
    for (int taken = 0;; ++taken) {
        if (c >= 0x40 && c <= 0x7E) break;  // the final byte
        if (c < 0x20 || c > 0x3F || taken >= kMaxSequenceBytes) {
            // Not a sequence after all (or a broken one): the stray byte is a key.
            if (c >= 0) TerminalUnreadByte();
            return kNoCode;
        }
        if (c >= '0' && c <= '9') {
            parameter = (parameter < 0 ? 0 : parameter * 10) + (c - '0');
            if (parameter > kMaxParameter) {
                overLong = true;
                parameter = kMaxParameter;  // keeps the arithmetic bounded
            }
            if (inFirst) first = parameter;
        } else {
            inFirst = false;
            parameter = -1;
        }
        c = TerminalReadKey(kEscapeSequenceMs);
        if (c == kTimedOut || c == kEndOfInput) return kNoCode;
    }
    if (overLong) return kNoCode;  // no key has such a number
    if (c == '~') return TildeKey(first);
    return LetterKey(c);
}

int32_t ReadSs3() {
    const int c = TerminalReadKey(kEscapeSequenceMs);
    if (c == kTimedOut || c == kEndOfInput) {
        TerminalUnreadByte();  // Escape, then 'O' as a key of its own
        return kEscape;
    }
    return LetterKey(c);
}

int32_t ReadEscape() {
    const int c = TerminalReadKey(kEscapeSequenceMs);
    if (c == kTimedOut || c == kEndOfInput) return kEscape;
    if (c == '[') return ReadCsi();
    if (c == 'O') return ReadSs3();
    TerminalUnreadByte();  // Escape followed by an ordinary key: both count
    return kEscape;
}

}  // namespace

int32_t TerminalReadKeyCode(int timeoutMs) {
    RawHold raw;
    for (;;) {
        const int c = TerminalReadKey(timeoutMs);
        if (c < 0) return c;
        int32_t code = c;
        if (c == kEscape) {
            code = ReadEscape();
        } else if (c == kDel) {
            code = kBackspace;
        }
        if (code != kNoCode) return code;
    }
}

}  // namespace textio
