// Key reads and waits on the screen channel, and reads from any channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "textio/file_record.h"

namespace textio {

// Reads `count` characters from a channel (0 = the keyboard, one key at a time).
// Returns the empty string on a bad channel, an error, or when memory runs out.
std::string ReadChars(uint64_t count, int channel);

// Reads up to `count` bytes, first the pushed-back ones, then through the
// device. `read` receives the number of bytes delivered. Returns an error code.
int ChannelRead(FileRecord* rec, void* buffer, size_t count, size_t* read);

// Waits `milliseconds`; kSleepUntilKey (console_hooks.h) waits until a key is
// pressed.
void Pause(int32_t milliseconds);

}  // namespace textio
