#include "support/memory_device.h"

namespace testsupport {

namespace {

int MemoryWrite(textio::FileRecord* rec, const void* bytes, size_t length) {
    auto* device = static_cast<MemoryDevice*>(rec->stream);
    if (device->failWith != 0) return device->failWith;
    device->writes.emplace_back(static_cast<const char*>(bytes), length);
    device->bytes.append(static_cast<const char*>(bytes), length);
    return 0;
}

const textio::DeviceOps kOps = {.write = MemoryWrite};

}  // namespace

const textio::DeviceOps& MemoryDeviceOps() {
    return kOps;
}

void OpenOnMemory(textio::FileRecord* rec, MemoryDevice* device, uint32_t width) {
    *rec = textio::FileRecord{};
    rec->mode = textio::kModeOutput;
    rec->type = textio::kTypeDevice;
    rec->width = width;
    rec->ops = &kOps;
    rec->stream = device;
}

}  // namespace testsupport
