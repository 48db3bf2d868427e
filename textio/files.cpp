// Disk files: buffered platform streams behind the device operation table.
#include "textio/files.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/file_io.h"
#include "textio/last_error.h"
#include "textio/runtime_state.h"

namespace textio {

namespace {

constexpr size_t kStreamBuffer = 8192;
constexpr size_t kLineChunk = 512;

FILE* StreamOf(FileRecord* rec) {
    return static_cast<FILE*>(rec->stream);
}

int64_t Position(FILE* f) {
    return platform::StreamTell(f);
}

int FileEof(FileRecord* rec) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return 1;
    switch (rec->mode) {
        case kModeInput:
            if (std::feof(f)) return 1;
            return Position(f) >= rec->size ? 1 : 0;
        case kModeOutput:
        case kModeAppend:
            return std::feof(f) ? 1 : 0;
        default:
            return Position(f) >= rec->size ? 1 : 0;
    }
}

int FileCloseOp(FileRecord* rec) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kOk;
    rec->stream = nullptr;
    // The stream is gone either way; a failed write, earlier or in the final
    // write-out, is still reported.
    const bool failedBefore = std::ferror(f) != 0;
    if (std::fclose(f) != 0) return SystemFailure(kErrIo);
    return failedBefore ? kErrIo : kOk;
}

int FileSeek(FileRecord* rec, int64_t offset, int origin) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kErrInvalidCall;
    return platform::StreamSeek(f, offset, origin) ? kOk : kErrIo;
}

int FileTell(FileRecord* rec, int64_t* position) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kErrInvalidCall;
    *position = Position(f);
    return kOk;
}

int FileRead(FileRecord* rec, void* buffer, size_t* count) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kErrInvalidCall;
    if (f == stdout || f == stderr) f = stdin;
    const size_t got = std::fread(buffer, 1, *count, f);
    std::memset(static_cast<char*>(buffer) + got, 0, *count - got);
    *count = got;
    return kOk;
}

uint16_t WidenByte(unsigned char byte) {
    std::mbstate_t state{};
    wchar_t wide = 0;
    const char c = static_cast<char>(byte);
    const size_t r = std::mbrtowc(&wide, &c, 1, &state);
    const auto value = static_cast<uint32_t>(wide);
    if (r == 1 && value < 0x10000) return static_cast<uint16_t>(value);
    return byte;
}

int FileReadWide(FileRecord* rec, uint16_t* buffer, size_t* count) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kErrInvalidCall;
    size_t got = 0;
    for (; got < *count; ++got) {
        const int c = std::fgetc(f);
        if (c == EOF) break;
        buffer[got] = WidenByte(static_cast<unsigned char>(c));
    }
    for (size_t i = got; i < *count; ++i) buffer[i] = 0;
    *count = got;
    return kOk;
}

int FileWrite(FileRecord* rec, const void* bytes, size_t length) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kErrInvalidCall;
    return std::fwrite(bytes, 1, length, f) == length ? kOk : SystemFailure(kErrIo);
}

int FileWriteWide(FileRecord* rec, const uint16_t* units, size_t count) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kErrInvalidCall;
    std::string bytes;
    try {
        bytes.reserve(count);
    } catch (...) {
        return kErrIo;
    }
    for (size_t i = 0; i < count; ++i) {
        const uint16_t u = units[i];
        if (u < 256) {
            bytes.push_back(static_cast<char>(u));
            continue;
        }
        bytes.push_back('?');
        // A surrogate pair stands for one character.
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            ++i;
        }
    }
    return FileWrite(rec, bytes.data(), bytes.size());
}

int LockRange(FileRecord* rec, int64_t position, int64_t length, platform::RangeLock how) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kErrInvalidCall;
    if (length == 0) return kErrInvalidCall;
    return platform::LockStreamRange(f, position, length, how) ? kOk : kErrIo;
}

int FileLock(FileRecord* rec, int64_t position, int64_t length) {
    const auto how = (rec->access == kAccessRead) ? platform::RangeLock::kShared
                                                  : platform::RangeLock::kExclusive;
    return LockRange(rec, position, length, how);
}

int FileUnlock(FileRecord* rec, int64_t position, int64_t length) {
    return LockRange(rec, position, length, platform::RangeLock::kUnlock);
}

int FileReadLine(FileRecord* rec, std::string* line) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kErrInvalidCall;
    line->clear();
    char chunk[kLineChunk];
    while (std::fgets(chunk, sizeof chunk, f) != nullptr) {
        const size_t n = std::strlen(chunk);
        line->append(chunk, n);
        if (n > 0 && chunk[n - 1] == '\n') break;
    }
    if (!line->empty() && line->back() == '\n') line->pop_back();
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return kOk;
}

int FileReadLineWide(FileRecord* rec, std::u16string* line) {
    std::string bytes;
    const int code = FileReadLine(rec, &bytes);
    if (code != kOk) return code;
    line->clear();
    for (unsigned char c : bytes) line->push_back(static_cast<char16_t>(WidenByte(c)));
    return kOk;
}

int FileFlush(FileRecord* rec) {
    FILE* f = StreamOf(rec);
    if (f == nullptr) return kErrInvalidCall;
    return std::fflush(f) == 0 ? kOk : SystemFailure(kErrIo);
}

bool IsConsoleName(std::string_view name) {
    return name.size() == 3 && (name[0] | 0x20) == 'c' && (name[1] | 0x20) == 'o' &&
           (name[2] | 0x20) == 'n';
}

size_t ByteOrderMarkLength(uint32_t encoding) {
    switch (encoding) {
        case 1:
            return 3;
        case 2:
            return 2;
        case 3:
            return 4;
        default:
            return 0;
    }
}

// Size by seeking to the end, then back to the start of the data.
bool MeasureAndRewind(FILE* f, FileRecord* rec) {
    if (!platform::StreamSeek(f, 0, SEEK_END)) return false;
    rec->size = Position(f);
    return platform::StreamSeek(f, static_cast<int64_t>(ByteOrderMarkLength(rec->encoding)),
                                SEEK_SET);
}

}  // namespace

const DeviceOps FileDeviceOps = {
    .eof = FileEof,
    .close = FileCloseOp,
    .seek = FileSeek,
    .tell = FileTell,
    .read = FileRead,
    .readWide = FileReadWide,
    .write = FileWrite,
    .writeWide = FileWriteWide,
    .lock = FileLock,
    .unlock = FileUnlock,
    .readLine = FileReadLine,
    .readLineWide = FileReadLineWide,
    .flush = FileFlush,
};

int OpenDiskFile(FileRecord* rec, std::string_view name) {
    const std::string path = platform::NativeFileName(name);
    rec->ops = &FileDeviceOps;
    if (rec->mode > kModeAppend) return kErrInvalidCall;

    FILE* f = nullptr;
    switch (rec->mode) {
        case kModeOutput:
            f = std::fopen(path.c_str(), "wb");
            if (f == nullptr) return SystemFailure(kErrOpenRefused);
            break;
        case kModeAppend:
            f = std::fopen(path.c_str(), "ab");
            if (f == nullptr) return SystemFailure(kErrOpenRefused);
            // Some C libraries report position 0 until the first write.
            platform::StreamSeek(f, 0, SEEK_END);
            break;
        case kModeInput: {
            f = std::fopen(path.c_str(), "rb");
            if (f == nullptr) return SystemFailure(kErrOpenRefused);
            if (!platform::StreamSeek(f, 0, SEEK_END)) {
                std::fclose(f);
                return kErrInvalidCall;
            }
            rec->size = Position(f);
            f = std::freopen(path.c_str(), "r", f);
            if (f == nullptr) return SystemFailure(kErrOpenRefused);
            if (!platform::StreamSeek(f, static_cast<int64_t>(ByteOrderMarkLength(rec->encoding)),
                                      SEEK_SET)) {
                std::fclose(f);
                return kErrInvalidCall;
            }
            break;
        }
        default: {  // Binary and Random
            const char* how = rec->access == kAccessRead    ? "rb"
                              : rec->access == kAccessWrite ? "wb"
                                                            : "r+b";
            f = std::fopen(path.c_str(), how);
            if (f == nullptr && (rec->access == kAccessNone || rec->access == kAccessReadWrite)) {
                f = std::fopen(path.c_str(), "w+b");
                if (f == nullptr && rec->access == kAccessNone) {
                    f = std::fopen(path.c_str(), "rb");
                    if (f != nullptr) rec->access = kAccessRead;
                }
            }
            if (f == nullptr) return SystemFailure(kErrOpenRefused);
            break;
        }
    }

    std::setvbuf(f, nullptr, _IOFBF, kStreamBuffer);

    if (rec->mode == kModeOutput) {
        rec->size = 0;
    } else if (rec->mode == kModeAppend) {
        rec->size = Position(f);
    } else if (rec->mode != kModeInput) {
        if (!MeasureAndRewind(f, rec)) {
            std::fclose(f);
            return kErrInvalidCall;
        }
    }

    rec->stream = f;
    if (rec->access == kAccessNone) rec->access = kAccessReadWrite;
    if (IsConsoleName(name)) rec->type = kTypeConsole;
    return kOk;
}

int FileOpen(std::string_view name, uint32_t mode, uint32_t access, uint32_t lock, int fileNumber,
             int recordLength) {
    if (fileNumber < 1 || fileNumber >= kFileSlots) return SetLastError(kErrInvalidCall);
    RuntimeState& rt = Runtime();
    FileRecord* rec = &rt.files[static_cast<size_t>(fileNumber)];
    if (IsOpen(rec)) return SetLastError(kErrInvalidCall);
    rt.filesUsed = true;
    *rec = FileRecord{};
    rec->mode = mode;
    rec->encoding = 0;
    rec->type = kTypeDevice;
    rec->access = access;
    rec->lock = lock;
    if (mode == kModeRandom || mode == kModeInput || mode == kModeOutput) {
        rec->recordLength =
            recordLength > 0 ? static_cast<uint32_t>(recordLength) : kDefaultRecordLength;
    }
    rec->size = -1;
    const int code = OpenDiskFile(rec, name);
    if (code != kOk) {
        *rec = FileRecord{};
        return SetLastError(code);
    }
    if (rec->size == -1) {
        int64_t pos = 0;
        if (mode == kModeAppend && rec->ops->tell != nullptr && rec->ops->tell(rec, &pos) == kOk) {
            rec->size = pos;
        } else {
            rec->size = 0;
        }
    }
    return SetLastError(kOk);
}

int FileClose(int channel) {
    if (channel == 0) return SetLastError(kErrInvalidCall);
    FileRecord* rec = ResolveChannel(channel);
    if (!IsOpen(rec)) return SetLastError(kErrInvalidCall);
    if (rec->ops->close != nullptr) {
        const int code = rec->ops->close(rec);
        if (code != kOk) return SetLastError(code);
    }
    *rec = FileRecord{};
    return SetLastError(kOk);
}

void FileCloseAll() {
    RuntimeState& rt = Runtime();
    if (!rt.filesUsed) return;
    rt.filesUsed = false;
    for (int n = 1; n < kFileSlots; ++n) {
        FileRecord* rec = &rt.files[static_cast<size_t>(n)];
        if (IsOpen(rec) && rec->ops->close != nullptr) rec->ops->close(rec);
        *rec = FileRecord{};
    }
}

}  // namespace textio
