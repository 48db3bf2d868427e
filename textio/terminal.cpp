#include "textio/terminal.h"

#include <cstring>

#include "platform/terminal_io.h"
#include "textio/cp437.h"
#include "textio/interrupts.h"

namespace textio {

namespace {

struct Terminal {
    // The devices are looked at on first use (on Windows that may attach a
    // console, which a run in the window must not do).
    bool prepared = false;
    bool standardStreams = true;
    int inFd = 0;
    int outFd = 1;
    // Output turned into UTF-8, and input read as UTF-8 and turned into code
    // page 437: under a UTF-8 locale, or on a terminal under the plain C one.
    bool utf8 = false;
    bool inUtf8 = false;
    Utf8ToCp437 decoder;
    bool inTty = false;
    bool outTty = false;
    bool outBroken = false;
    bool inputEnded = false;
    // The last line ended with a carriage return: a line feed right after it
    // belongs to that line end.
    bool lineFeedEnds = false;
    // A canonical read on a terminal already moved the cursor to the next line,
    // so the line end printed after the input must not move it again.
    bool lineEndEchoed = false;
    bool haveSavedModes = false;
    bool rawActive = false;
    int rawHolds = 0;
    bool cursorHidden = false;
    bool screenControl = false;
    int32_t column = 0;
    int32_t row = 0;
    char out[4096];
    size_t outLength = 0;
    unsigned char in[4096 + 1];  // one more for a character that broke off
    size_t inPos = 0;
    size_t inLength = 0;
};

Terminal gTerm;

constexpr std::string_view kLineCutMessage =
    "Eingabezeile l\x84nger als 65536 Bytes, der Rest der Zeile ist \x81"
    "bergangen";
static_assert(kTerminalLineLimit == 65536, "the message names the limit");

// Text for a standard stream is UTF-8 under a UTF-8 locale. Without a chosen
// locale a terminal still most likely speaks UTF-8; pipes and files then keep
// the code page 437 bytes.
bool Utf8For(bool terminal) {
    return platform::LocaleUsesUtf8() || (terminal && platform::LocaleIsPlainC());
}

void Prepare() {
    if (gTerm.prepared) return;
    gTerm.prepared = true;
    if (gTerm.standardStreams) {
        platform::PrepareStandardStreams({Cp437ToUnicode, UnicodeToCp437});
    }
    gTerm.inTty = platform::IsTerminal(gTerm.inFd);
    gTerm.outTty = platform::IsTerminal(gTerm.outFd);
    if (gTerm.standardStreams) {
        gTerm.utf8 = Utf8For(gTerm.outTty);
        gTerm.inUtf8 = Utf8For(gTerm.inTty);
    }
    gTerm.screenControl = gTerm.outTty && platform::ControlsScreen(gTerm.outFd);
    if (gTerm.inTty && platform::SaveTerminalModes(gTerm.inFd)) gTerm.haveSavedModes = true;
}

void WriteAll(const char* bytes, size_t length) {
    if (gTerm.outBroken) return;
    Prepare();
    // A closed pipe or a full device: further output is dropped.
    if (WriteOrEnd(gTerm.outFd, bytes, length) != platform::IoError::kNone) {
        gTerm.outBroken = true;
    }
}

void Emit(const char* bytes, size_t length) {
    if (gTerm.outLength + length > sizeof gTerm.out) TerminalFlush();
    if (length > sizeof gTerm.out) {
        WriteAll(bytes, length);
        return;
    }
    std::memcpy(gTerm.out + gTerm.outLength, bytes, length);
    gTerm.outLength += length;
}

// A screen control in its place among the text: bytes in the stream, or a
// system call once the text before it is written out.
void Control(platform::ScreenControl what, int32_t row = 0, int32_t column = 0) {
    if (!platform::ScreenControlInStream()) TerminalFlush();
    char sequence[platform::kMaxControlSequence];
    const size_t n = platform::ControlScreen(gTerm.outFd, what, row, column, sequence);
    if (n > 0) Emit(sequence, n);
}

void TrackCursor(unsigned char c) {
    switch (c) {
        case '\r':
            gTerm.column = 0;
            break;
        case '\n':
            if (gTerm.row < kTerminalRows - 1) ++gTerm.row;
            break;
        case '\b':
            if (gTerm.column > 0) --gTerm.column;
            break;
        case '\t':
            gTerm.column = (gTerm.column / 8 + 1) * 8;
            if (gTerm.column >= kTerminalColumns) {
                gTerm.column = 0;
                if (gTerm.row < kTerminalRows - 1) ++gTerm.row;
            }
            break;
        case 7:
            break;
        default:
            if (++gTerm.column >= kTerminalColumns) {
                gTerm.column = 0;
                if (gTerm.row < kTerminalRows - 1) ++gTerm.row;
            }
            break;
    }
}

// One byte of program text: code page 437 as it is, or its UTF-8 form.
void EmitText(unsigned char c) {
    TrackCursor(c);
    if (c >= 0x80 && gTerm.utf8) {
        char utf8[4];
        Emit(utf8, EncodeUtf8(Cp437ToUnicode(c), utf8));
    } else {
        const char b = static_cast<char>(c);
        Emit(&b, 1);
    }
}

void SetRaw(bool on) {
    if (on) Prepare();
    if (!gTerm.inTty || !gTerm.haveSavedModes || gTerm.rawActive == on) return;
    platform::SetRawMode(gTerm.inFd, on);
    gTerm.rawActive = on;
}

// Fills the input buffer; false at end of input or on time-out.
bool FillInput(int timeoutMs, bool* timedOut) {
    *timedOut = false;
    if (gTerm.inputEnded) return false;
    Prepare();
    for (;;) {
        HandlePendingInterrupt();
        const platform::WaitResult r = platform::WaitForInput(gTerm.inFd, timeoutMs);
        if (r == platform::WaitResult::kFailed) {
            gTerm.inputEnded = true;
            return false;
        }
        if (r == platform::WaitResult::kTimedOut) {
            *timedOut = true;
            return false;
        }
        HandlePendingInterrupt();
        if (r != platform::WaitResult::kReady) continue;
        if (!gTerm.inUtf8) {
            const long n = platform::ReadSome(gTerm.inFd, gTerm.in, sizeof gTerm.in - 1);
            if (n == platform::kReadAgain) continue;
            if (n <= 0) {
                gTerm.inputEnded = true;
                return false;
            }
            gTerm.inPos = 0;
            gTerm.inLength = static_cast<size_t>(n);
            return true;
        }
        unsigned char raw[sizeof gTerm.in - 1];
        const long n = platform::ReadSome(gTerm.inFd, raw, sizeof raw);
        if (n == platform::kReadAgain) continue;
        gTerm.inPos = 0;
        if (n <= 0) {
            gTerm.inputEnded = true;
            gTerm.inLength = gTerm.decoder.Finish(gTerm.in);
            return gTerm.inLength > 0;
        }
        gTerm.inLength = gTerm.decoder.Convert(raw, static_cast<size_t>(n), gTerm.in);
        if (gTerm.inLength > 0) return true;
        // Only the start of a character so far: wait for the rest.
    }
}

int NextByte(int timeoutMs) {
    if (gTerm.inPos < gTerm.inLength) return gTerm.in[gTerm.inPos++];
    bool timedOut = false;
    if (!FillInput(timeoutMs, &timedOut)) return timedOut ? kTimedOut : kEndOfInput;
    return gTerm.in[gTerm.inPos++];
}

// The next byte, passing over the line feed of a CR LF whose carriage
// return ended the last line.
int NextLineByte(int timeoutMs) {
    int c = NextByte(timeoutMs);
    if (c == '\n' && gTerm.lineFeedEnds) c = NextByte(timeoutMs);
    if (c != kTimedOut) gTerm.lineFeedEnds = false;
    return c;
}

}  // namespace

void TerminalInit() {
    gTerm = Terminal{};
}

void TerminalAttach(int inFd, int outFd, bool utf8) {
    TerminalFinish();
    gTerm = Terminal{};
    gTerm.standardStreams = false;
    gTerm.inFd = inFd;
    gTerm.outFd = outFd;
    gTerm.utf8 = utf8;
    gTerm.inUtf8 = utf8;
    Prepare();
}

void TerminalFinish() {
    if (gTerm.cursorHidden) TerminalShowCursor(1);
    TerminalFlush();
    gTerm.rawHolds = 0;
    SetRaw(false);
}

void TerminalFlush() {
    if (gTerm.outLength == 0) return;
    WriteAll(gTerm.out, gTerm.outLength);
    gTerm.outLength = 0;
}

void TerminalWrite(const char* bytes, size_t length) {
    Prepare();
    if (gTerm.lineEndEchoed) {
        gTerm.lineEndEchoed = false;
        if (length >= 2 && bytes[0] == '\r' && bytes[1] == '\n') {
            bytes += 2;
            length -= 2;
        }
    }
    for (size_t i = 0; i < length; ++i) EmitText(static_cast<unsigned char>(bytes[i]));
}

void TerminalEcho(const char* bytes, size_t length) {
    Prepare();
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\t') {
            // Blanks up to the next tab stop, as the window prints a tab.
            do {
                EmitText(' ');
            } while (gTerm.column % 8 != 0);
        } else if (IsControlByte(c)) {
            // Never the control itself: its picture, or "?" where the output's
            // character set has none.
            TrackCursor(' ');
            char text[4];
            Emit(text, ControlPicture(c, gTerm.utf8, text));
        } else {
            EmitText(c);
        }
    }
}

void TerminalClear() {
    gTerm.lineEndEchoed = false;
    Prepare();
    if (gTerm.screenControl) Control(platform::ScreenControl::kClear);
    gTerm.column = 0;
    gTerm.row = 0;
}

int32_t TerminalLocate(int32_t row, int32_t column) {
    if (row >= 1) gTerm.row = row > kTerminalRows ? kTerminalRows - 1 : row - 1;
    if (column >= 1) gTerm.column = column > kTerminalColumns ? kTerminalColumns - 1 : column - 1;
    Prepare();
    if (gTerm.screenControl) {
        Control(platform::ScreenControl::kMoveCursor, gTerm.row + 1, gTerm.column + 1);
    }
    return 257 + (gTerm.column % 256) + 256 * (gTerm.row % 256);
}

void TerminalCursor(int32_t* column, int32_t* row) {
    if (column != nullptr) *column = gTerm.column + 1;
    if (row != nullptr) *row = gTerm.row + 1;
}

void TerminalBell() {
    const char bell = 7;
    Emit(&bell, 1);
    TerminalFlush();
}

bool TerminalReadLine(std::string* line) {
    line->clear();
    TerminalFlush();
    SetRaw(false);
    bool any = false;
    bool cut = false;
    for (;;) {
        const int c = NextLineByte(-1);
        if (c == kEndOfInput) break;
        any = true;
        if (c == '\n' || c == '\r') {
            gTerm.lineFeedEnds = c == '\r';
            if (gTerm.inTty) {
                gTerm.lineEndEchoed = true;
                gTerm.column = 0;
                if (gTerm.row < kTerminalRows - 1) ++gTerm.row;
            }
            break;
        }
        if (line->size() < kTerminalLineLimit) {
            line->push_back(static_cast<char>(c));
        } else {
            cut = true;
        }
    }
    if (cut) SayOnStandardError(kLineCutMessage);
    return any;
}

int TerminalReadKey(int timeoutMs) {
    TerminalFlush();
    SetRaw(true);
    const int c = NextLineByte(timeoutMs);
    if (gTerm.rawHolds == 0) SetRaw(false);
    return c;
}

void TerminalUnreadByte() {
    if (gTerm.inPos > 0) --gTerm.inPos;
}

void TerminalHoldRaw(bool hold) {
    if (hold) {
        if (gTerm.rawHolds++ == 0) SetRaw(true);
    } else if (gTerm.rawHolds > 0 && --gTerm.rawHolds == 0) {
        SetRaw(false);
    }
}

bool TerminalUtf8() {
    Prepare();
    return gTerm.utf8;
}

bool TerminalUtf8For(int fd) {
    Prepare();  // a Windows console is attached first
    return Utf8For(platform::IsTerminal(fd));
}

std::string TextForStream(int fd, std::string_view cp437) {
    const bool utf8 = TerminalUtf8For(fd);
    std::string out;
    out.reserve(cp437.size() + cp437.size() / 8);
    for (const char c : cp437) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 || !utf8) {
            out.push_back(c);
            continue;
        }
        char encoded[4];
        out.append(encoded, EncodeUtf8(Cp437ToUnicode(byte), encoded));
    }
    return out;
}

void SayOnStandardError(std::string_view message) {
    const std::string line = "wellenlaenge: " + TextForStream(2, message) + "\n";
    WriteOrEnd(2, line.data(), line.size());
}

bool TerminalShowCursor(int visibility) {
    if (visibility >= 0) Prepare();
    if (visibility >= 0 && gTerm.screenControl) {
        const bool hide = visibility == 0;
        if (hide != gTerm.cursorHidden) {
            Control(hide ? platform::ScreenControl::kHideCursor
                         : platform::ScreenControl::kShowCursor);
            gTerm.cursorHidden = hide;
        }
    }
    return !gTerm.cursorHidden;
}

bool TerminalKeyReady() {
    if (gTerm.inPos < gTerm.inLength || gTerm.inputEnded) return true;
    Prepare();
    return platform::WaitForInput(gTerm.inFd, 0) == platform::WaitResult::kReady;
}

bool TerminalInputEnded() {
    return gTerm.inputEnded && gTerm.inPos >= gTerm.inLength;
}

bool TerminalInputIsTerminal() {
    Prepare();
    return gTerm.inTty;
}

bool TerminalOutputIsTerminal() {
    Prepare();
    return gTerm.outTty;
}

}  // namespace textio
