// Disk files as print channels 1..255: open, close and the device operations.
#pragma once

#include <cstdint>
#include <string_view>

#include "textio/device_ops.h"
#include "textio/file_record.h"

namespace textio {

// Opens `name` as file number 1..255. Returns an error code (also in LastError).
int FileOpen(std::string_view name, uint32_t mode, uint32_t access, uint32_t lock, int fileNumber,
             int recordLength);
// Closes a file channel; channel 0 cannot be closed.
int FileClose(int channel);
// Closes every open file (program end).
void FileCloseAll();

// Opens the platform stream for an already prepared record.
int OpenDiskFile(FileRecord* rec, std::string_view name);

extern const DeviceOps FileDeviceOps;

}  // namespace textio
