// The running program's path on Windows (GetModuleFileNameA).
#include "platform/process.h"

#include <windows.h>

namespace platform {

std::string ExecutablePath(size_t limit) {
    char path[MAX_PATH + 1] = {};
    // The size includes the terminating zero; a longer path is cut short.
    const DWORD size = static_cast<DWORD>(std::min<size_t>(limit + 1, sizeof path));
    const DWORD n = GetModuleFileNameA(nullptr, path, size);
    if (n == 0) return std::string();
    return std::string(path, std::min<size_t>(n, limit));
}

// The terminal reaches the standard streams through their handles
// (GetStdHandle), not through descriptor numbers that a later open could reuse,
// and a missing stream is dealt with when the terminal is first used.
unsigned OpenClosedStandardDescriptors() {
    return 0;
}

}  // namespace platform
