#include "gfxwin/keys/key_buffer.h"

#include "gfxwin/screen/drawing_state.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "textio/console.h"
#include "textio/key_code.h"

namespace gfxwin {

namespace {

KeyRing& Keys() {
    return Drawing().keys;
}

constexpr int kWaitPollMs = 20;

}  // namespace

void PostKey(int32_t code) {
    KeyRing& keys = Keys();
    keys.slots[keys.writeIndex] = code;
    keys.writeIndex = (keys.writeIndex + 1) % kKeyRingSlots;
    if (keys.writeIndex == keys.readIndex) keys.readIndex = (keys.readIndex + 1) % kKeyRingSlots;
    keys.posted = 1;
}

int32_t TakeKey() {
    const ScreenLockGuard lock;
    KeyRing& keys = Keys();
    int32_t code = 0;
    if (keys.readIndex != keys.writeIndex) {
        code = keys.slots[keys.readIndex];
        keys.readIndex = (keys.readIndex + 1) % kKeyRingSlots;
    }
    keys.posted = 0;
    return code;
}

int KeyAvailable() {
    const ScreenLockGuard lock;
    const KeyRing& keys = Keys();
    return keys.readIndex != keys.writeIndex ? 1 : 0;
}

int TakeKeyPostedFlag() {
    const ScreenLockGuard lock;
    KeyRing& keys = Keys();
    const int flag = keys.posted;
    keys.posted = 0;
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

void ResetKeyBufferForTest() {
    Keys() = KeyRing{};
}

}  // namespace gfxwin
