// The program in a page has no file of its own: the page names it (the
// runtime's program name, which the window title falls back to). Its
// standard streams always exist.
#include "platform/process.h"

namespace platform {

std::string ExecutablePath(size_t /*limit*/) {
    return std::string();
}

unsigned OpenClosedStandardDescriptors() {
    return 0;
}

}  // namespace platform
