// The running program's path on POSIX systems (Linux: /proc/self/exe).
#include <unistd.h>

#include <algorithm>

#include "platform/process.h"

namespace platform {

std::string ExecutablePath(size_t limit) {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    if (n <= 0) return std::string();
    return std::string(path, std::min(static_cast<size_t>(n), limit));
}

}  // namespace platform
