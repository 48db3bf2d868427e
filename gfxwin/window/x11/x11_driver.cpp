// The "X11" window driver: the window layer's operations on an X11 host.
#include "gfxwin/window/window.h"
#include "gfxwin/window/x11/x11_host.h"

namespace gfxwin::x11 {

namespace {

int Init(const char* title, int32_t width, int32_t height, int32_t depth, int32_t refreshRate,
         int32_t flags) {
    return WindowStart(OpenX11Host, title, width, height, depth, refreshRate, flags) ? 0 : -1;
}

constexpr WindowDriver kX11 = WindowLayerDriver("X11", Init, WindowStop, FetchModes);

}  // namespace

const WindowDriver* X11Driver() {
    return &kX11;
}

}  // namespace gfxwin::x11
