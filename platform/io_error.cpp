// The C library's error numbers, the same on every system we build for.
#include <cerrno>
#include <utility>

#include "platform/file_io.h"

namespace platform {

IoError LastIoError() {
    static constexpr std::pair<int, IoError> kKnown[] = {
        {EPIPE, IoError::kClosed},        {ENOSPC, IoError::kNoSpace},
#ifdef EDQUOT
        {EDQUOT, IoError::kNoSpace},
#endif
        {EACCES, IoError::kNoPermission}, {EPERM, IoError::kNoPermission},
        {EROFS, IoError::kReadOnly},      {EFBIG, IoError::kTooLarge},
        {ENOENT, IoError::kNotFound},     {EINTR, IoError::kInterrupted},
    };
    const int error = errno;
    for (const auto& [number, kind] : kKnown) {
        if (number == error) return kind;
    }
    return IoError::kOther;
}

}  // namespace platform
