// The "GDI" window driver: the window layer's operations on the GDI host, the
// display modes from EnumDisplaySettingsA, and the system beep while the
// window is open (the last two shared by the Win32 drivers).
#include <cstdlib>

#include "gfxwin/window/driver_entries.h"
#include "gfxwin/window/win32/gdi_host.h"
#include "gfxwin/window/win32/win32_window.h"
#include "gfxwin/window/window.h"
#include "textio/beep.h"

namespace gfxwin::win32 {

namespace {

void SystemBeep(int frequencyHz, int durationMs) {
    ::Beep(static_cast<DWORD>(frequencyHz), static_cast<DWORD>(durationMs));
}

int Init(const char* title, int32_t width, int32_t height, int32_t depth, int32_t refreshRate,
         int32_t flags) {
    if (!WindowStart(OpenGdiHost, title, width, height, depth, refreshRate, flags)) return -1;
    UseSystemBeep(true);
    return 0;
}

void Exit() {
    WindowStop();
    UseSystemBeep(false);
}

constexpr WindowDriver kGdi = WindowLayerDriver("GDI", Init, Exit, EnumeratedDisplayModes);

}  // namespace

void UseSystemBeep(bool on) {
    if (on) {
        textio::SetBeepService(SystemBeep);
    } else {
        textio::RemoveBeepService(SystemBeep);
    }
}

// A failed growth of the list ends it early.
int32_t* EnumeratedDisplayModes(int32_t depth, int32_t* count) {
    int32_t* modes = nullptr;
    int32_t n = 0, capacity = 0;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
        if (DepthClass(static_cast<int32_t>(mode.dmBitsPerPel)) != DepthClass(depth)) continue;
        if (n == capacity) {
            const int32_t grown = capacity == 0 ? 16 : capacity * 2;
            auto* bigger = static_cast<int32_t*>(
                std::realloc(modes, sizeof(int32_t) * static_cast<size_t>(grown)));
            if (bigger == nullptr) break;
            modes = bigger;
            capacity = grown;
        }
        modes[n++] = static_cast<int32_t>(mode.dmPelsWidth * 65536 + mode.dmPelsHeight);
    }
    if (count != nullptr) *count = n;
    return modes;
}

const WindowDriver* GdiDriver() {
    return &kGdi;
}

}  // namespace gfxwin::win32
