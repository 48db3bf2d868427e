// The terminal console on anonymous pipes (Windows).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "support/terminal_capture.h"
#include "textio/input_context.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"
#include "textio/terminal.h"

namespace testsupport {

namespace {

constexpr unsigned kPipeBytes = 1 << 16;

}  // namespace

TerminalCapture::TerminalCapture(const std::string& input, bool utf8, bool keepOpen) {
    int in[2], out[2];
    if (_pipe(in, kPipeBytes, _O_BINARY) != 0 || _pipe(out, kPipeBytes, _O_BINARY) != 0) return;
    inRead_ = in[0];
    inWrite_ = in[1];
    outRead_ = out[0];
    outWrite_ = out[1];
    Type(input);
    if (!keepOpen) {
        _close(inWrite_);
        inWrite_ = -1;
    }
    textio::TerminalAttach(inRead_, outWrite_, utf8);
}

TerminalCapture::~TerminalCapture() {
    textio::TerminalAttach(0, 1, false);
    for (int fd : {inWrite_, inRead_, outRead_, outWrite_}) {
        if (fd >= 0) _close(fd);
    }
}

void TerminalCapture::Type(const std::string& more) {
    size_t done = 0;
    while (inWrite_ >= 0 && done < more.size()) {
        const int n =
            _write(inWrite_, more.data() + done, static_cast<unsigned>(more.size() - done));
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
}

std::string TerminalCapture::TakeOutput() {
    textio::TerminalFlush();
    std::string all;
    const auto pipe = reinterpret_cast<HANDLE>(_get_osfhandle(outRead_));
    char buffer[4096];
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) break;
        const int n = _read(outRead_, buffer,
                            static_cast<unsigned>(std::min<DWORD>(available, sizeof buffer)));
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
