// Disk file details on POSIX systems: 64-bit positions and fcntl range locks.
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace platform {

std::string NativeFileName(std::string_view name) {
    return std::string(name);
}

int64_t StreamTell(FILE* f) {
    return static_cast<int64_t>(ftello(f));
}

bool StreamSeek(FILE* f, int64_t offset, int origin) {
    return fseeko(f, static_cast<off_t>(offset), origin) == 0;
}

bool LockStreamRange(FILE* f, int64_t position, int64_t length, RangeLock how) {
    struct flock fl {};
    fl.l_type = how == RangeLock::kShared      ? F_RDLCK
                : how == RangeLock::kExclusive ? F_WRLCK
                                               : F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(position);
    fl.l_len = static_cast<off_t>(length);
    return fcntl(fileno(f), F_SETLK, &fl) == 0;
}

}  // namespace platform
