#include "textio/key_wait.h"

#include <cstring>
#include <new>

#include "textio/console.h"
#include "textio/last_error.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"

namespace textio {

int ChannelRead(FileRecord* rec, void* buffer, size_t count, size_t* read) {
    *read = 0;
    if (!IsOpen(rec)) return SetLastError(kErrInvalidCall);
    auto* out = static_cast<unsigned char*>(buffer);
    const size_t fromPutBack =
        count < rec->putBackCount ? count : static_cast<size_t>(rec->putBackCount);
    if (fromPutBack > 0) {
        std::memcpy(out, rec->putBack, fromPutBack);
        rec->putBackCount -= fromPutBack;
        std::memmove(rec->putBack, rec->putBack + fromPutBack,
                     static_cast<size_t>(rec->putBackCount));
        *read = fromPutBack;
    }
    if (*read < count) {
        if (rec->ops->read == nullptr) return SetLastError(kErrInvalidCall);
        size_t missing = count - *read;
        const int code = rec->ops->read(rec, out + *read, &missing);
        if (code != kOk) return SetLastError(code);
        *read += missing;
    }
    return SetLastError(kOk);
}

std::string ReadChars(uint64_t count, int channel) {
    ScreenReadInit();
    FileRecord* rec = nullptr;
    if (channel == 0 || channel == -1 || (channel >= 1 && channel < kFileSlots)) {
        rec = ResolveChannel(channel);
    }
    if (!IsOpen(rec) || count == 0) return std::string();

    std::string text;
    try {
        text.assign(static_cast<size_t>(count), '\0');
    } catch (...) {
        return std::string();
    }
    size_t have = 0;
    if (channel == 0) {
        while (have < count) {
            size_t got = 0;
            if (ChannelRead(rec, text.data() + have, text.size() - have, &got) != kOk) {
                return std::string();
            }
            have += got;
            // Keys from an ended terminal input never come: stop with what arrived.
            if (got == 0 && ConsoleInputEnded()) break;
        }
    } else {
        if (ChannelRead(rec, text.data(), text.size(), &have) != kOk) return std::string();
    }
    text.resize(have);
    return text;
}

void Pause(int32_t milliseconds) {
    ConsoleSleep(milliseconds);
}

}  // namespace textio
