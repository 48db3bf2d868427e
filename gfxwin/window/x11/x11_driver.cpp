// The "X11" window driver: the window layer's operations on an X11 host.
#include "gfxwin/window/x11/x11_host.h"
#include "gfxwin/window/window.h"

namespace gfxwin::x11 {

namespace {

int Init(const char* title, int32_t width, int32_t height, int32_t depth, int32_t refreshRate,
         int32_t flags) {
    TheWindow() = WindowState{};
    return WindowStart(OpenX11Host, title, width, height, depth, refreshRate, flags);
}

constexpr WindowDriver kX11{
    "X11",
    Init,
    WindowStop,
    DriverLock,
    DriverUnlock,
    SetPaletteEntry,
    WaitVerticalBlank,
    GetMouse,
    SetMouse,
    SetWindowTitle,
    SetWindowPosition,
    FetchModes,
    nullptr,
    nullptr,
};

}  // namespace

const WindowDriver* X11Driver() {
    return &kX11;
}

}  // namespace gfxwin::x11
