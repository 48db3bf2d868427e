// The running program's path on POSIX systems (Linux: /proc/self/exe), and
// the standard descriptors at start-up.
#include "platform/process.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {

std::string ExecutablePath(size_t limit) {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    if (n <= 0) return std::string();
    return std::string(path, std::min(static_cast<size_t>(n), limit));
}

unsigned OpenClosedStandardDescriptors() {
    unsigned closed = 0;
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        closed |= 1u << fd;
        // The lowest free number is this one, since those below it are open.
        const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
    return closed;
}

}  // namespace platform
