// The operation table of a print/read device. Slots are in a fixed order; a
// null slot means the device cannot do that and callers report error 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace textio {

struct FileRecord;

struct DeviceOps {
    int (*eof)(FileRecord* rec);  // 1 at end of data, else 0
    int (*close)(FileRecord* rec);
    int (*seek)(FileRecord* rec, int64_t offset, int origin);
    int (*tell)(FileRecord* rec, int64_t* position);
    int (*read)(FileRecord* rec, void* buffer, size_t* count);
    int (*readWide)(FileRecord* rec, uint16_t* buffer, size_t* count);
    int (*write)(FileRecord* rec, const void* bytes, size_t length);
    int (*writeWide)(FileRecord* rec, const uint16_t* units, size_t count);
    int (*lock)(FileRecord* rec, int64_t position, int64_t length);
    int (*unlock)(FileRecord* rec, int64_t position, int64_t length);
    int (*readLine)(FileRecord* rec, std::string* line);
    int (*readLineWide)(FileRecord* rec, std::u16string* line);
    int (*setWidth)(FileRecord* rec, uint32_t width);
    int (*flush)(FileRecord* rec);
};

}  // namespace textio
