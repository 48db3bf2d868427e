#include "support/terminal_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include "textio/input_context.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"
#include "textio/terminal.h"

namespace testsupport {

TerminalCapture::TerminalCapture(const std::string& input, bool utf8, bool keepOpen) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    inRead_ = in[0];
    inWrite_ = in[1];
    outRead_ = out[0];
    outWrite_ = out[1];
    fcntl(outRead_, F_SETFL, fcntl(outRead_, F_GETFL) | O_NONBLOCK);
    Type(input);
    if (!keepOpen) {
        close(inWrite_);
        inWrite_ = -1;
    }
    textio::TerminalAttach(inRead_, outWrite_, utf8);
}

TerminalCapture::~TerminalCapture() {
    textio::TerminalAttach(0, 1, false);
    for (int fd : {inWrite_, inRead_, outRead_, outWrite_}) {
        if (fd >= 0) close(fd);
    }
}

void TerminalCapture::Type(const std::string& more) {
    size_t done = 0;
    while (inWrite_ >= 0 && done < more.size()) {
        const ssize_t n = write(inWrite_, more.data() + done, more.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
}

std::string TerminalCapture::TakeOutput() {
    textio::TerminalFlush();
    std::string all;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(outRead_, buffer, sizeof buffer);
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
