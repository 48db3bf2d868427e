// A print device that keeps what is written in memory, for column and zone tests.
#pragma once

#include <string>
#include <vector>

#include "textio/device_ops.h"
#include "textio/file_record.h"

namespace testsupport {

struct MemoryDevice {
    std::string bytes;
    std::vector<std::string> writes;  // one entry per Write call
    int failWith = 0;                 // when not 0, Write reports this code
};

// A device table whose Write appends to the MemoryDevice in rec->stream.
const textio::DeviceOps& MemoryDeviceOps();

// Opens `rec` on `device` with the given line width (0 = unlimited).
void OpenOnMemory(textio::FileRecord* rec, MemoryDevice* device, uint32_t width);

}  // namespace testsupport
