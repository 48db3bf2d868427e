// Channel 0. Its writes go to the console (the graphics text window when a
// screen is open); its reads take key texts one key at a time.
#include "textio/screen_channel.h"

#include <cstring>
#include <new>

#include "textio/console.h"
#include "textio/last_error.h"
#include "textio/runtime_state.h"
#include "textio/sleep.h"

namespace textio {

namespace {

constexpr int kKeyPollMs = 25;

// Read is filled on the first input, Write on the first output.
DeviceOps gScreenOps{};

KeyTextBuffer* KeyText(FileRecord* rec) {
    return static_cast<KeyTextBuffer*>(rec->stream);
}

void ReadGeometry(FileRecord* rec) {
    int32_t columns = 0;
    int32_t column = 1;
    ConsoleTextSize(&columns, nullptr);
    ConsoleCursorPosition(&column, nullptr);
    rec->width = columns > 0 ? static_cast<uint32_t>(columns) : 0;
    rec->column = column > 0 ? static_cast<uint32_t>(column - 1) : 0;
}

}  // namespace

void ScreenInit() {
    FileRecord* rec = &Runtime().screen;
    if (IsOpen(rec)) return;
    *rec = FileRecord{};
    rec->mode = kModeAppend;
    rec->type = kTypeDevice;
    rec->access = kAccessReadWrite;
    ReadGeometry(rec);
    rec->stream = new (std::nothrow) KeyTextBuffer{};
    rec->ops = &gScreenOps;
    if (gScreenOps.write == nullptr) gScreenOps.write = ScreenWrite;
}

void ScreenRefreshGeometry() {
    FileRecord* rec = &Runtime().screen;
    if (IsOpen(rec)) ReadGeometry(rec);
}

void ScreenSetColumn(uint32_t column) {
    FileRecord* rec = &Runtime().screen;
    if (IsOpen(rec)) rec->column = column;
}

int ScreenWrite(FileRecord*, const void* bytes, size_t length) {
    ConsolePrintBytes(static_cast<const char*>(bytes), length, 0);
    return kOk;
}

void ScreenReadInit() {
    ScreenInit();
    if (gScreenOps.read == nullptr && ConsoleInputRedirected() == 0) {
        gScreenOps.read = ScreenRead;
    }
}

int ScreenRead(FileRecord* rec, void* buffer, size_t* count) {
    KeyTextBuffer* keys = KeyText(rec);
    auto* out = static_cast<char*>(buffer);
    size_t wanted = *count;
    size_t delivered = 0;
    if (keys == nullptr) {
        std::memset(out, 0, wanted);
        *count = 0;
        return kOk;
    }
    while (wanted > 0) {
        const size_t n =
            wanted < static_cast<size_t>(keys->count) ? wanted : static_cast<size_t>(keys->count);
        if (n > 0) {
            std::memcpy(out, keys->text, n);
            keys->count -= static_cast<int32_t>(n);
            std::memmove(keys->text, keys->text + n, sizeof keys->text - n);
            out += n;
            wanted -= n;
            delivered += n;
            continue;
        }
        while (ConsoleKeyWaiting() == 0) SleepMilliseconds(kKeyPollMs);
        char text[2];
        const size_t length = ConsoleReadKeyText(text);
        std::memcpy(keys->text, text, length);
        keys->text[length] = '\0';
        keys->count = static_cast<int32_t>(length);
        if (length == 0) {
            std::memset(out, 0, wanted);
            break;
        }
    }
    *count = delivered;
    return kOk;
}

void ScreenReleaseKeyText() {
    FileRecord* rec = &Runtime().screen;
    delete KeyText(rec);
    rec->stream = nullptr;
}

}  // namespace textio
