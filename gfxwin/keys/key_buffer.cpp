#include "gfxwin/keys/key_buffer.h"

#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "textio/console.h"
#include "textio/key_code.h"

namespace gfxwin {

namespace {

struct KeyBuffer {
    int32_t slots[kKeyBufferSlots];
    int readIndex;
    int writeIndex;
    int posted;
};

KeyBuffer gKeys{};

constexpr int kWaitPollMs = 20;

}  // namespace

void PostKey(int32_t code) {
    gKeys.slots[gKeys.writeIndex] = code;
    gKeys.writeIndex = (gKeys.writeIndex + 1) % kKeyBufferSlots;
    if (gKeys.writeIndex == gKeys.readIndex) {
        gKeys.readIndex = (gKeys.readIndex + 1) % kKeyBufferSlots;
    }
    gKeys.posted = 1;
}

int32_t TakeKey() {
    LockScreen();
    int32_t code = 0;
    if (gKeys.readIndex != gKeys.writeIndex) {
        code = gKeys.slots[gKeys.readIndex];
        gKeys.readIndex = (gKeys.readIndex + 1) % kKeyBufferSlots;
    }
    gKeys.posted = 0;
    UnlockScreen(1, 0);
    return code;
}

int KeyAvailable() {
    LockScreen();
    const int available = gKeys.readIndex != gKeys.writeIndex ? 1 : 0;
    UnlockScreen(1, 0);
    return available;
}

int TakeKeyPostedFlag() {
    LockScreen();
    const int flag = gKeys.posted;
    gKeys.posted = 0;
    UnlockScreen(1, 0);
    return flag;
}

size_t ReadKeyText(char out[2]) {
    if (CurrentScreen() == nullptr) return 0;
    const int32_t code = TakeKey();
    if (code == 0) return 0;
    return textio::KeyCodeText(code, out);
}

int32_t WaitForKey() {
    while (CurrentScreen() != nullptr) {
        const int32_t code = TakeKey();
        if (code != 0) return code;
        textio::ConsoleSleep(kWaitPollMs);
    }
    return 0;
}

void ResetKeyBufferForTest() { gKeys = KeyBuffer{}; }

}  // namespace gfxwin
