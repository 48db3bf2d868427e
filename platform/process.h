// Facts about the running program that the window layer asks the system for.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The running program's full path as the system reports it, at most `limit`
// bytes; empty when the system cannot tell.
std::string ExecutablePath(size_t limit);

}  // namespace platform
