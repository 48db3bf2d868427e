#include "gfxwin/screen/screen_lock.h"

#include <algorithm>

#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/window_driver.h"

namespace gfxwin {

void LockScreen() {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return;
    if (screen->lockCount == 0 && screen->driver != nullptr && screen->driver->lock != nullptr) {
        screen->driver->lock();
    }
    ++screen->lockCount;
}

void UnlockScreen(int32_t firstRow, int32_t lastRow) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return;
    firstRow = std::max(firstRow, 0);
    if (lastRow < 0) lastRow = screen->height - 1;
    if (CurrentWorkPage() == screen->visiblePage && firstRow <= lastRow &&
        lastRow < screen->height) {
        MarkRowsDirty(*screen, firstRow, lastRow + 1);
    }
    if (screen->lockCount != 0) {
        --screen->lockCount;
        if (screen->lockCount == 0 && screen->driver != nullptr &&
            screen->driver->unlock != nullptr) {
            screen->driver->unlock();
        }
    }
}

}  // namespace gfxwin
