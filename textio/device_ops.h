// The operation table of a print/read device. A null slot means the device
// cannot do that and callers report error 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace textio {

struct FileRecord;

struct DeviceOps {
    int (*eof)(FileRecord* rec) = nullptr;  // 1 at end of data, else 0
    int (*close)(FileRecord* rec) = nullptr;
    int (*seek)(FileRecord* rec, int64_t offset, int origin) = nullptr;
    int (*tell)(FileRecord* rec, int64_t* position) = nullptr;
    int (*read)(FileRecord* rec, void* buffer, size_t* count) = nullptr;
    int (*readWide)(FileRecord* rec, uint16_t* buffer, size_t* count) = nullptr;
    int (*write)(FileRecord* rec, const void* bytes, size_t length) = nullptr;
    int (*writeWide)(FileRecord* rec, const uint16_t* units, size_t count) = nullptr;
    int (*lock)(FileRecord* rec, int64_t position, int64_t length) = nullptr;
    int (*unlock)(FileRecord* rec, int64_t position, int64_t length) = nullptr;
    int (*readLine)(FileRecord* rec, std::string* line) = nullptr;
    int (*readLineWide)(FileRecord* rec, std::u16string* line) = nullptr;
    int (*setWidth)(FileRecord* rec, uint32_t width) = nullptr;
    int (*flush)(FileRecord* rec) = nullptr;
};

}  // namespace textio
