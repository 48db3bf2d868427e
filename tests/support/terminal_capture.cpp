#include "support/terminal_capture.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

#include <algorithm>

#include "textio/input_context.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"
#include "textio/terminal.h"

namespace testsupport {

namespace {

// The pipe ends of the C runtime: opening, closing, writing, and reading what
// a pipe holds without waiting for more (0 when it holds nothing).
#ifdef _WIN32
constexpr unsigned kPipeBytes = 1 << 16;

bool OpenPipe(int ends[2]) {
    return _pipe(ends, kPipeBytes, _O_BINARY) == 0;
}
void ClosePipeEnd(int fd) {
    _close(fd);
}
long WriteSome(int fd, const char* data, size_t size) {
    return _write(fd, data, static_cast<unsigned>(size));
}
long ReadWaiting(int fd, char* buffer, size_t size) {
    DWORD available = 0;
    const auto pipe = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return 0;
    return _read(fd, buffer, static_cast<unsigned>(std::min<size_t>(available, size)));
}
#else
bool OpenPipe(int ends[2]) {
    return pipe(ends) == 0;
}
void ClosePipeEnd(int fd) {
    close(fd);
}
long WriteSome(int fd, const char* data, size_t size) {
    return write(fd, data, size);
}
long ReadWaiting(int fd, char* buffer, size_t size) {
    struct pollfd ready = {fd, POLLIN, 0};
    if (poll(&ready, 1, 0) <= 0) return 0;
    return read(fd, buffer, size);
}
#endif

}  // namespace

TerminalCapture::TerminalCapture(const std::string& input, bool utf8, bool keepOpen) {
    int in[2], out[2];
    if (!OpenPipe(in) || !OpenPipe(out)) return;
    inRead_ = in[0];
    inWrite_ = in[1];
    outRead_ = out[0];
    outWrite_ = out[1];
    Type(input);
    if (!keepOpen) {
        ClosePipeEnd(inWrite_);
        inWrite_ = -1;
    }
    textio::TerminalAttach(inRead_, outWrite_, utf8);
}

TerminalCapture::~TerminalCapture() {
    textio::TerminalAttach(0, 1, false);
    for (int fd : {inWrite_, inRead_, outRead_, outWrite_}) {
        if (fd >= 0) ClosePipeEnd(fd);
    }
}

void TerminalCapture::Type(const std::string& more) {
    size_t done = 0;
    while (inWrite_ >= 0 && done < more.size()) {
        const long n = WriteSome(inWrite_, more.data() + done, more.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
}

std::string TerminalCapture::TakeOutput() {
    textio::TerminalFlush();
    std::string all;
    char buffer[4096];
    for (;;) {
        const long n = ReadWaiting(outRead_, buffer, sizeof buffer);
        if (n <= 0) break;
        all.append(buffer, static_cast<size_t>(n));
    }
    return all;
}

void ResetRuntimeForTest() {
    textio::ScreenReleaseKeyText();
    textio::ResetRuntimeState();
    textio::ResetInputContext();
}

}  // namespace testsupport
