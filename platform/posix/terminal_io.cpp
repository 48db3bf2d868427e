// Terminal mode on POSIX systems: descriptors, termios and poll.
#include "platform/terminal_io.h"

#include <langinfo.h>
#include <limits.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "platform/posix/wake_pipe.h"

namespace platform {

namespace {

struct SavedModes {
    int fd = -1;
    termios modes{};
};

SavedModes gSaved;

}  // namespace

void PrepareStandardStreams(const ByteCharset& /*charset*/) {}

bool IsTerminal(int fd) {
    return isatty(fd) == 1;
}

bool LocaleUsesUtf8() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
}

bool LocaleIsPlainC() {
    const char* name = std::setlocale(LC_CTYPE, nullptr);
    return name != nullptr && (std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0);
}

bool ControlsScreen(int fd) {
    return isatty(fd) == 1;
}

bool ScreenControlInStream() {
    return true;
}

size_t ControlScreen(int, ScreenControl what, int row, int column,
                     char (&sequence)[kMaxControlSequence]) {
    int n = 0;
    switch (what) {
        case ScreenControl::kClear:
            n = std::snprintf(sequence, sizeof sequence, "\x1b[H\x1b[2J");
            break;
        case ScreenControl::kMoveCursor:
            n = std::snprintf(sequence, sizeof sequence, "\x1b[%d;%dH", row, column);
            break;
        case ScreenControl::kHideCursor:
            n = std::snprintf(sequence, sizeof sequence, "\x1b[?25l");
            break;
        case ScreenControl::kShowCursor:
            n = std::snprintf(sequence, sizeof sequence, "\x1b[?25h");
            break;
    }
    return n > 0 ? static_cast<size_t>(n) : 0;
}

bool SaveTerminalModes(int fd) {
    if (tcgetattr(fd, &gSaved.modes) != 0) return false;
    gSaved.fd = fd;
    return true;
}

void SetRawMode(int fd, bool raw) {
    if (gSaved.fd != fd) return;
    if (raw) {
        termios modes = gSaved.modes;
        modes.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        modes.c_cc[VMIN] = 1;
        modes.c_cc[VTIME] = 0;
        tcsetattr(fd, TCSANOW, &modes);
    } else {
        tcsetattr(fd, TCSANOW, &gSaved.modes);
    }
}

IoError WriteAll(int fd, const char* bytes, size_t length) {
    // A pipe or a terminal may not take the bytes at once: the write waits in
    // poll, where an interrupt wakes it, and then hands over at most PIPE_BUF
    // bytes, which a descriptor that polls writable takes without blocking.
    // Files never block and get everything at once.
    struct stat st {};
    const bool mayBlock = fstat(fd, &st) != 0 || !S_ISREG(st.st_mode);
    while (length > 0) {
        if (mayBlock) {
            struct pollfd fds[2] = {{fd, POLLOUT, 0}, {WakePipeReadEnd(), POLLIN, 0}};
            const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
            if (poll(fds, count, -1) < 0 && errno != EINTR) return LastIoError();
            if ((fds[0].revents & (POLLOUT | POLLERR | POLLHUP | POLLNVAL)) == 0) {
                if (fds[1].revents == 0) continue;
                // Woken: the program is to end. What is left goes out only
                // when the reader takes it within a moment.
                struct pollfd out {fd, POLLOUT, 0};
                if (poll(&out, 1, kEndingWriteWaitMs) <= 0) return IoError::kInterrupted;
            }
        }
        const size_t chunk = mayBlock && length > PIPE_BUF ? PIPE_BUF : length;
        const ssize_t n = write(fd, bytes, chunk);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return LastIoError();
        }
        bytes += n;
        length -= static_cast<size_t>(n);
    }
    return IoError::kNone;
}

WaitResult WaitForInput(int fd, int timeoutMs) {
    for (;;) {
        struct pollfd fds[2] = {{fd, POLLIN, 0}, {WakePipeReadEnd(), POLLIN, 0}};
        const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
        const int r = poll(fds, count, timeoutMs);
        if (r < 0) {
            if (errno == EINTR) return WaitResult::kWoken;
            return WaitResult::kFailed;
        }
        if (r == 0) return WaitResult::kTimedOut;
        if (fds[0].revents != 0) return WaitResult::kReady;
        return WaitResult::kWoken;
    }
}

long ReadSome(int fd, unsigned char* buffer, size_t size) {
    const ssize_t n = read(fd, buffer, size);
    if (n < 0) return (errno == EINTR || errno == EAGAIN) ? kReadAgain : kReadFailed;
    return static_cast<long>(n);
}

}  // namespace platform
