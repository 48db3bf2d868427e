#include "gfxwin/screen/pages.h"

#include <cstring>

#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "textio/last_error.h"

namespace gfxwin {

namespace {
bool ValidPage(const ScreenState& screen, int32_t page) {
    return page >= 0 && page < screen.pageCount;
}
}  // namespace

int CopyPage(int32_t source, int32_t destination) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr || !ValidPage(*screen, source) || !ValidPage(*screen, destination)) {
        return textio::kErrInvalidCall;
    }
    if (source == destination) return textio::kOk;
    const ScreenLockGuard lock;
    std::memcpy(screen->pages[destination], screen->pages[source],
                static_cast<size_t>(screen->pitch) * static_cast<size_t>(screen->height));
    if (screen->textShadow != nullptr) {
        std::memcpy(screen->textShadow[destination], screen->textShadow[source],
                    sizeof(TextCell) * static_cast<size_t>(screen->textColumns) *
                        static_cast<size_t>(screen->textRows));
    }
    if (destination == screen->visiblePage) MarkAllRowsDirty(*screen);
    return textio::kOk;
}

int SelectPages(int32_t work, int32_t visible) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return textio::kErrInvalidCall;
    if ((work >= 0 && !ValidPage(*screen, work)) ||
        (visible >= 0 && !ValidPage(*screen, visible))) {
        return textio::kErrInvalidCall;
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
    return textio::kOk;
}

}  // namespace gfxwin
