// A page has no terminal: standard output and standard error are lines for
// the page (UTF-8), and standard input is always at its end.
#include "platform/terminal_io.h"

#include <unistd.h>

namespace platform {

void PrepareStandardStreams(const ByteCharset& /*charset*/) {}

bool IsTerminal(int /*fd*/) {
    return false;
}

bool LocaleUsesUtf8() {
    return true;
}

bool LocaleIsPlainC() {
    return false;
}

bool ControlsScreen(int /*fd*/) {
    return false;
}

bool ScreenControlInStream() {
    return true;
}

size_t ControlScreen(int /*fd*/, ScreenControl /*what*/, int /*row*/, int /*column*/,
                     char (&/*sequence*/)[kMaxControlSequence]) {
    return 0;
}

bool SaveTerminalModes(int /*fd*/) {
    return false;
}

void SetRawMode(int /*fd*/, bool /*raw*/) {}

// The page's streams take every write whole.
IoError WriteAll(int fd, const char* bytes, size_t length) {
    return write(fd, bytes, length) == static_cast<ssize_t>(length) ? IoError::kNone
                                                                     : LastIoError();
}

WaitResult WaitForInput(int /*fd*/, int /*timeoutMs*/) {
    return WaitResult::kReady;
}

long ReadSome(int /*fd*/, unsigned char* /*buffer*/, size_t /*size*/) {
    return 0;
}

}  // namespace platform
