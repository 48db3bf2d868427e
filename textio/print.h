// Print operations on channels: number text, print zones, line ends, columns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "textio/file_record.h"
#include "textio/number_text.h"

namespace textio {

void PrintStringValue(int channel, std::string_view text, unsigned mask);
void PrintTerminatedText(int channel, const char* text, unsigned mask);
void PrintDouble(int channel, double value, unsigned mask);
void PrintSingle(int channel, float value, unsigned mask);
void PrintInt64(int channel, int64_t value, unsigned mask);
void PrintUInt64(int channel, uint64_t value, unsigned mask);
void PrintEnd(int channel, unsigned mask);
void PrintEndRecord(FileRecord* rec, unsigned mask);
int PrintZone(int channel);
int PrintZoneRecord(FileRecord* rec);
int ChannelWrite(FileRecord* rec, const void* bytes, size_t length);
int PutBack(FileRecord* rec, const void* bytes, size_t length);

}  // namespace textio
