#include "gfxwin/console/key_mouse_hooks.h"

#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/window_driver.h"
#include "textio/last_error.h"

namespace gfxwin {

int32_t KeyDownByScanCode(int32_t scanCode) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr || scanCode < 0 || scanCode >= kKeyStateCount) return 0;
    const ScreenLockGuard lock;
    return screen->keyStates != nullptr && screen->keyStates[scanCode] == 1 ? -1 : 0;
}

int32_t ReadMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons, int32_t* clip) {
    int32_t values[5] = {-1, -1, -1, -1, -1};
    int32_t code = textio::kErrInvalidCall;
    const ScreenState* screen = CurrentScreen();
    if (screen != nullptr && screen->driver != nullptr && screen->driver->getMouse != nullptr) {
        const ScreenLockGuard lock;
        if (screen->driver->getMouse(&values[0], &values[1], &values[2], &values[3], &values[4]) ==
            0) {
            code = textio::kOk;
        }
    }
    if (code != textio::kOk) {
        for (int32_t& v : values) v = -1;
    }
    int32_t* outputs[5] = {x, y, wheel, buttons, clip};
    for (int i = 0; i < 5; ++i) {
        if (outputs[i] != nullptr) *outputs[i] = values[i];
    }
    return textio::SetLastError(code);
}

int32_t SetMousePointer(int32_t x, int32_t y, int32_t visibility, int32_t clip) {
    const ScreenState* screen = CurrentScreen();
    if (screen == nullptr || screen->driver == nullptr || screen->driver->setMouse == nullptr) {
        return textio::kErrInvalidCall;
    }
    const ScreenLockGuard lock;
    screen->driver->setMouse(x, y, visibility, clip);
    return textio::kOk;
}

}  // namespace gfxwin
