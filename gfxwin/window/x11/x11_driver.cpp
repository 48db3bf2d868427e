// The "X11" window driver: the window layer's operations on an X11 host, and
// the display's bell as the beep while the window is open.
#include "gfxwin/window/driver_entries.h"
#include "gfxwin/window/window.h"
#include "gfxwin/window/x11/x11_host.h"
#include "textio/beep.h"

namespace gfxwin::x11 {

namespace {

int Init(const char* title, int32_t width, int32_t height, int32_t depth, int32_t refreshRate,
         int32_t flags) {
    if (!WindowStart(OpenX11Host, title, width, height, depth, refreshRate, flags)) return -1;
    textio::SetBeepService(QueueBell);
    return 0;
}

void Exit() {
    WindowStop();
    textio::RemoveBeepService(QueueBell);
}

constexpr WindowDriver kX11 = WindowLayerDriver("X11", Init, Exit, FetchModes);

}  // namespace

const WindowDriver* X11Driver() {
    return &kX11;
}

}  // namespace gfxwin::x11
