// Disk file details on Windows: backslash separators, 64-bit stream positions
// and LockFile/UnlockFile ranges.
#include "platform/file_io.h"

#include <io.h>
#include <windows.h>

namespace platform {

std::string NativeFileName(std::string_view name) {
    std::string path(name);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

int64_t StreamTell(FILE* f) {
    return static_cast<int64_t>(_ftelli64(f));
}

bool StreamSeek(FILE* f, int64_t offset, int origin) {
    return _fseeki64(f, offset, origin) == 0;
}

bool LockStreamRange(FILE* f, int64_t position, int64_t length, RangeLock how) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    if (handle == INVALID_HANDLE_VALUE) return false;
    const auto start = static_cast<uint64_t>(position);
    const auto count = static_cast<uint64_t>(length);
    const auto startLow = static_cast<DWORD>(start), startHigh = static_cast<DWORD>(start >> 32);
    const auto countLow = static_cast<DWORD>(count), countHigh = static_cast<DWORD>(count >> 32);
    // Windows has no shared range lock: a lock always keeps others out.
    if (how == RangeLock::kUnlock) {
        return UnlockFile(handle, startLow, startHigh, countLow, countHigh) != 0;
    }
    return LockFile(handle, startLow, startHigh, countLow, countHigh) != 0;
}

}  // namespace platform
