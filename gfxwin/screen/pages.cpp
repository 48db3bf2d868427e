#include "gfxwin/screen/pages.h"

#include <cstring>

#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"

namespace gfxwin {

namespace {
bool ValidPage(const ScreenState& screen, int32_t page) {
    return page >= 0 && page < screen.pageCount;
}
}  // namespace

int CopyPage(int32_t source, int32_t destination) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr || !ValidPage(*screen, source) || !ValidPage(*screen, destination)) {
        return 1;
    }
    if (source == destination) return 0;
    const ScreenLockGuard lock;
    std::memcpy(screen->pages[destination], screen->pages[source],
                static_cast<size_t>(screen->pitch) * static_cast<size_t>(screen->height));
    if (screen->textShadow != nullptr) {
        std::memcpy(screen->textShadow[destination], screen->textShadow[source],
                    sizeof(TextCell) * static_cast<size_t>(screen->textColumns) *
                        static_cast<size_t>(screen->textRows));
    }
    if (destination == screen->visiblePage) MarkAllRowsDirty(*screen);
    return 0;
}

int SelectPages(int32_t work, int32_t visible) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return 1;
    if ((work >= 0 && !ValidPage(*screen, work)) ||
        (visible >= 0 && !ValidPage(*screen, visible))) {
        return 1;
    }
    DrawContext& context = GetDrawContext();
    const ScreenLockGuard lock;
    if (work >= 0 && work != context.workPage) {
        context.workPage = work;
        RepointRows(context);
    }
    if (visible >= 0 && visible != screen->visiblePage) {
        screen->visiblePage = visible;
        screen->framebuffer = screen->pages[visible];
        MarkAllRowsDirty(*screen);
    }
    return 0;
}

}  // namespace gfxwin
