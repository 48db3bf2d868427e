// The record behind one print channel: a disk file, or the screen.
#pragma once

#include <cstdint>

#include "textio/device_ops.h"

namespace textio {

enum FileMode : uint32_t {
    kModeBinary = 0,
    kModeRandom = 1,
    kModeInput = 2,
    kModeOutput = 3,
    kModeAppend = 4,
};

enum FileAccess : uint32_t {
    kAccessNone = 0,
    kAccessRead = 1,
    kAccessWrite = 2,
    kAccessReadWrite = 3,
};

constexpr uint32_t kTypeDevice = 4;   // every channel
constexpr uint32_t kTypeConsole = 1;  // a file opened under the name "CON"
constexpr uint32_t kDefaultRecordLength = 128;
constexpr int kPrintZoneWidth = 14;

struct FileRecord {
    uint32_t mode;
    uint32_t recordLength;
    uint32_t encoding;  // 0 single-byte, 1 UTF-8, 2 UTF-16, 3 UTF-32
    int64_t size;       // -1 while not known
    uint32_t type;
    uint32_t access;
    uint32_t lock;
    uint32_t column;  // 0-based print column
    uint32_t width;   // 0 = unlimited
    unsigned char putBack[4];
    uint64_t putBackCount;
    const DeviceOps* ops;  // null: the channel is closed
    void* stream;
    FileRecord* redirect;
};

inline bool IsOpen(const FileRecord* rec) {
    return rec != nullptr && rec->ops != nullptr;
}

// Follows the redirect chain to the record that owns column and width.
inline FileRecord* ColumnOwner(FileRecord* rec) {
    while (rec->redirect != nullptr) rec = rec->redirect;
    return rec;
}

}  // namespace textio
