#include "textio/terminal.h"

#include <langinfo.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "textio/cp437.h"
#include "textio/interrupts.h"

namespace textio {

namespace {

struct Terminal {
    int inFd = 0;
    int outFd = 1;
    bool utf8 = false;
    bool inTty = false;
    bool outTty = false;
    bool outBroken = false;
    bool inputEnded = false;
    // A canonical read on a terminal already moved the cursor to the next line,
    // so the line end printed after the input must not move it again.
    bool lineEndEchoed = false;
    bool haveSavedModes = false;
    bool rawActive = false;
    int rawHolds = 0;
    bool cursorHidden = false;
    termios savedModes{};
    int32_t column = 0;
    int32_t row = 0;
    char out[4096];
    size_t outLength = 0;
    unsigned char in[4096];
    size_t inPos = 0;
    size_t inLength = 0;
};

Terminal gTerm;

void WriteAll(const char* bytes, size_t length) {
    while (length > 0 && !gTerm.outBroken) {
        const ssize_t n = write(gTerm.outFd, bytes, length);
        if (n < 0) {
            if (errno == EINTR) continue;
            gTerm.outBroken = true;  // closed pipe or full device: drop further output
            return;
        }
        bytes += n;
        length -= static_cast<size_t>(n);
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

void SetRaw(bool on) {
    if (!gTerm.inTty || !gTerm.haveSavedModes || gTerm.rawActive == on) return;
    if (on) {
        termios raw = gTerm.savedModes;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(gTerm.inFd, TCSANOW, &raw);
    } else {
        tcsetattr(gTerm.inFd, TCSANOW, &gTerm.savedModes);
    }
    gTerm.rawActive = on;
}

// Fills the input buffer; false at end of input or on time-out.
bool FillInput(int timeoutMs, bool* timedOut) {
    *timedOut = false;
    if (gTerm.inputEnded) return false;
    for (;;) {
        HandlePendingInterrupt();
        struct pollfd fds[2] = {{gTerm.inFd, POLLIN, 0}, {InterruptWakeFd(), POLLIN, 0}};
        const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
        const int r = poll(fds, count, timeoutMs);
        if (r < 0) {
            if (errno == EINTR) continue;
            gTerm.inputEnded = true;
            return false;
        }
        if (r == 0) {
            *timedOut = true;
            return false;
        }
        HandlePendingInterrupt();
        if (fds[0].revents == 0) continue;
        const ssize_t n = read(gTerm.inFd, gTerm.in, sizeof gTerm.in);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {
            gTerm.inputEnded = true;
            return false;
        }
        gTerm.inPos = 0;
        gTerm.inLength = static_cast<size_t>(n);
        return true;
    }
}

int NextByte(int timeoutMs) {
    if (gTerm.inPos < gTerm.inLength) return gTerm.in[gTerm.inPos++];
    bool timedOut = false;
    if (!FillInput(timeoutMs, &timedOut)) return timedOut ? kTimedOut : kEndOfInput;
    return gTerm.in[gTerm.inPos++];
}

}  // namespace

void TerminalInit() {
    gTerm = Terminal{};
    gTerm.inTty = isatty(gTerm.inFd) == 1;
    gTerm.outTty = isatty(gTerm.outFd) == 1;
    const char* codeset = nl_langinfo(CODESET);
    gTerm.utf8 = codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
    if (gTerm.inTty && tcgetattr(gTerm.inFd, &gTerm.savedModes) == 0) gTerm.haveSavedModes = true;
}

void TerminalAttach(int inFd, int outFd, bool utf8) {
    TerminalFinish();
    gTerm = Terminal{};
    gTerm.inFd = inFd;
    gTerm.outFd = outFd;
    gTerm.utf8 = utf8;
    gTerm.inTty = isatty(inFd) == 1;
    gTerm.outTty = isatty(outFd) == 1;
    if (gTerm.inTty && tcgetattr(inFd, &gTerm.savedModes) == 0) gTerm.haveSavedModes = true;
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
    if (gTerm.lineEndEchoed) {
        gTerm.lineEndEchoed = false;
        if (length >= 2 && bytes[0] == '\r' && bytes[1] == '\n') {
            bytes += 2;
            length -= 2;
        }
    }
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        TrackCursor(c);
        if (c >= 0x80 && gTerm.utf8) {
            char utf8[4];
            Emit(utf8, EncodeUtf8(Cp437ToUnicode(c), utf8));
        } else {
            const char b = static_cast<char>(c);
            Emit(&b, 1);
        }
    }
}

void TerminalClear() {
    gTerm.lineEndEchoed = false;
    if (gTerm.outTty) {
        static constexpr char kClear[] = "\x1b[H\x1b[2J";
        Emit(kClear, sizeof kClear - 1);
    }
    gTerm.column = 0;
    gTerm.row = 0;
}

int32_t TerminalLocate(int32_t row, int32_t column) {
    if (row >= 1) gTerm.row = row > kTerminalRows ? kTerminalRows - 1 : row - 1;
    if (column >= 1) gTerm.column = column > kTerminalColumns ? kTerminalColumns - 1 : column - 1;
    if (gTerm.outTty) {
        char seq[32];
        const int n = std::snprintf(seq, sizeof seq, "\x1b[%d;%dH", static_cast<int>(gTerm.row + 1),
                                    static_cast<int>(gTerm.column + 1));
        if (n > 0) Emit(seq, static_cast<size_t>(n));
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
    for (;;) {
        const int c = NextByte(-1);
        if (c == kEndOfInput) break;
        any = true;
        if (c == '\n') {
            if (!line->empty() && line->back() == '\r') line->pop_back();
            if (gTerm.inTty) {
                gTerm.lineEndEchoed = true;
                gTerm.column = 0;
                if (gTerm.row < kTerminalRows - 1) ++gTerm.row;
            }
            return true;
        }
        line->push_back(static_cast<char>(c));
    }
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return any;
}

int TerminalReadKey(int timeoutMs) {
    TerminalFlush();
    SetRaw(true);
    const int c = NextByte(timeoutMs);
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
    return gTerm.utf8;
}

bool TerminalShowCursor(int visibility) {
    if (visibility >= 0 && gTerm.outTty) {
        const bool hide = visibility == 0;
        if (hide != gTerm.cursorHidden) {
            static constexpr char kHide[] = "\x1b[?25l";
            static constexpr char kShow[] = "\x1b[?25h";
            Emit(hide ? kHide : kShow, sizeof kHide - 1);
            gTerm.cursorHidden = hide;
        }
    }
    return !gTerm.cursorHidden;
}

bool TerminalKeyReady() {
    if (gTerm.inPos < gTerm.inLength || gTerm.inputEnded) return true;
    struct pollfd p {
        gTerm.inFd, POLLIN, 0
    };
    return poll(&p, 1, 0) > 0;
}

bool TerminalInputEnded() {
    return gTerm.inputEnded && gTerm.inPos >= gTerm.inLength;
}

bool TerminalInputIsTerminal() {
    return gTerm.inTty;
}

bool TerminalOutputIsTerminal() {
    return gTerm.outTty;
}

}  // namespace textio
