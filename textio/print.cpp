// Print operations. Every item ends with a line end, a zone advance or nothing;
// the column of the channel follows every byte written so zones line up.
#include "textio/print.h"

#include <cstdio>
#include <cstring>

#include "textio/last_error.h"
#include "textio/number_text.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"

namespace textio {

namespace {

constexpr char kLineEnd[2] = {'\r', '\n'};
constexpr char kBlanks[kPrintZoneWidth] = {' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                           ' ', ' ', ' ', ' ', ' ', ' ', ' '};

// Random-mode files are written in whole records: a short write is an error and
// the position moves on to the next record boundary.
int FinishRandomWrite(FileRecord* rec, size_t length) {
    if (rec->mode != kModeRandom || rec->recordLength == 0 || rec->ops->seek == nullptr) {
        return kOk;
    }
    const uint64_t recLen = rec->recordLength;
    if (length == recLen) return kOk;
    const uint64_t pad = (recLen - length % recLen) % recLen;
    if (pad != 0) rec->ops->seek(rec, static_cast<int64_t>(pad), SEEK_CUR);
    return kErrIo;
}

void AdvanceColumn(FileRecord* rec, const char* bytes, size_t length) {
    FileRecord* owner = ColumnOwner(rec);
    size_t i = length;
    while (i > 0 && bytes[i - 1] != '\r' && bytes[i - 1] != '\n') --i;
    uint64_t column = (i > 0) ? (length - i) : (uint64_t{owner->column} + length);
    if (owner->width != 0) column %= owner->width;
    owner->column = static_cast<uint32_t>(column);
}

}  // namespace

int ChannelWrite(FileRecord* rec, const void* bytes, size_t length) {
    ScreenInit();
    if (!IsOpen(rec)) return SetLastError(kErrInvalidCall);
    SetLastError(kOk);
    rec->putBackCount = 0;
    if (rec->ops->write == nullptr) return SetLastError(kErrInvalidCall);
    int code = rec->ops->write(rec, bytes, length);
    if (code == kOk) code = FinishRandomWrite(rec, length);
    if (code != kOk) return SetLastError(code);
    AdvanceColumn(rec, static_cast<const char*>(bytes), length);
    return SetLastError(kOk);
}

int PrintZoneRecord(FileRecord* rec) {
    ScreenInit();
    if (rec == nullptr) return SetLastError(kErrInvalidCall);
    const FileRecord* owner = ColumnOwner(rec);
    const uint64_t c = owner->column;
    const uint64_t w = owner->width;
    uint64_t n = ((c + kPrintZoneWidth) / kPrintZoneWidth) * kPrintZoneWidth + 1;
    if (w != 0 && n > w) n = 1;
    if (n <= c + 1) return ChannelWrite(rec, kLineEnd, sizeof kLineEnd);
    return ChannelWrite(rec, kBlanks, static_cast<size_t>(n - (c + 1)));
}

int PrintZone(int channel) {
    return PrintZoneRecord(ResolveChannel(channel));
}

void PrintEndRecord(FileRecord* rec, unsigned mask) {
    if (mask & kMaskAnyLineEnd) {
        ChannelWrite(rec, kLineEnd, sizeof kLineEnd);
    } else if (mask & kMaskZone) {
        PrintZoneRecord(rec);
    }
}

void PrintEnd(int channel, unsigned mask) {
    PrintEndRecord(ResolveChannel(channel), mask);
}

void PrintStringValue(int channel, std::string_view text, unsigned mask) {
    FileRecord* rec = ResolveChannel(channel);
    if (!text.empty()) ChannelWrite(rec, text.data(), text.size());
    PrintEndRecord(rec, mask);
}

void PrintTerminatedText(int channel, const char* text, unsigned mask) {
    FileRecord* rec = ResolveChannel(channel);
    if (text != nullptr && text[0] != '\0') ChannelWrite(rec, text, std::strlen(text));
    PrintEndRecord(rec, mask);
}

void PrintDouble(int channel, double value, unsigned mask) {
    char buffer[kFloatBufferSize];
    PrintTerminatedText(channel,
                        FormatFloat(value, buffer, sizeof buffer, kDoubleDigits, kAddBlank), mask);
}

void PrintSingle(int channel, float value, unsigned mask) {
    char buffer[kFloatBufferSize];
    PrintTerminatedText(
        channel,
        FormatFloat(static_cast<double>(value), buffer, sizeof buffer, kSingleDigits, kAddBlank),
        mask);
}

namespace {
// Integer text carries its line end, so it is one write; a zone advance follows.
template <typename Int>
void PrintInteger(int channel, Int value, unsigned mask,
                  size_t (*format)(Int, unsigned, char*, size_t)) {
    char buffer[kIntegerBufferSize];
    const size_t length = format(value, mask, buffer, sizeof buffer);
    FileRecord* rec = ResolveChannel(channel);
    ChannelWrite(rec, buffer, length);
    if (mask & kMaskZone) PrintZoneRecord(rec);
}
}  // namespace

void PrintInt64(int channel, int64_t value, unsigned mask) {
    PrintInteger(channel, value, mask, FormatInt64);
}

void PrintUInt64(int channel, uint64_t value, unsigned mask) {
    PrintInteger(channel, value, mask, FormatUInt64);
}

int PutBack(FileRecord* rec, const void* bytes, size_t length) {
    if (!IsOpen(rec)) return SetLastError(kErrInvalidCall);
    const bool wide = rec->encoding != 0;
    const uint64_t n = wide ? 2 * uint64_t{length} : uint64_t{length};
    if (rec->putBackCount + n > sizeof rec->putBack) return SetLastError(kErrIo);
    unsigned char incoming[sizeof rec->putBack];
    const auto* src = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < length; ++i) {
        if (wide) {
            // Each byte is kept as a sign-extended 16-bit unit, low byte first.
            const auto unit =
                static_cast<uint16_t>(static_cast<int16_t>(static_cast<int8_t>(src[i])));
            incoming[2 * i] = static_cast<unsigned char>(unit & 0xFF);
            incoming[2 * i + 1] = static_cast<unsigned char>(unit >> 8);
        } else {
            incoming[i] = src[i];
        }
    }
    std::memmove(rec->putBack + n, rec->putBack, static_cast<size_t>(rec->putBackCount));
    std::memcpy(rec->putBack, incoming, static_cast<size_t>(n));
    rec->putBackCount += n;
    return SetLastError(kOk);
}

}  // namespace textio
