// Disk file details that differ between operating systems.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

// Why an open, a read or a write failed, in terms the program can say.
enum class IoError {
    kNone,
    kClosed,        // the reader went away (a closed pipe)
    kNoSpace,       // the device or the quota is full
    kNoPermission,  // not allowed
    kReadOnly,      // a read-only file system or medium
    kTooLarge,      // the file would grow past what the system allows
    kNotFound,      // no such file or folder
    kInterrupted,   // an interrupt came while the call waited
    kNotOpen,       // the stream was closed when the program started
    kOther,
};
// The reason the C library gave for its last failed call (errno).
IoError LastIoError();

// The name as the system's file functions take it ("/" becomes "\" on Windows).
std::string NativeFileName(std::string_view name);

// 64-bit stream positions.
int64_t StreamTell(FILE* f);
bool StreamSeek(FILE* f, int64_t offset, int origin);

enum class RangeLock { kShared, kExclusive, kUnlock };
// Locks or unlocks `length` bytes from `position` without waiting; false when
// the system refuses.
bool LockStreamRange(FILE* f, int64_t position, int64_t length, RangeLock how);

}  // namespace platform
