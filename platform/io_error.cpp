// The C library's error numbers, the same on every system we build for.
#include <cerrno>

#include "platform/file_io.h"

namespace platform {

IoError LastIoError() {
    switch (errno) {
        case EPIPE:
            return IoError::kClosed;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return IoError::kNoSpace;
        case EACCES:
        case EPERM:
            return IoError::kNoPermission;
        case EROFS:
            return IoError::kReadOnly;
        case EFBIG:
            return IoError::kTooLarge;
        case ENOENT:
            return IoError::kNotFound;
        case EINTR:
            return IoError::kInterrupted;
        default:
            return IoError::kOther;
    }
}

}  // namespace platform
