// The "DirectX" window driver: the window layer's operations on the DirectX
// host, the vertical-blank handshake, DirectDraw's list of display modes, and
// the system beep while the window is open.
#include <cstdlib>

#include "gfxwin/window/driver_entries.h"
#include "gfxwin/window/refusal.h"
#include "gfxwin/window/win32/directx_host.h"
#include "gfxwin/window/win32/win32_window.h"
#include "gfxwin/window/window.h"

// After the window layer's headers: windows.h names a macro CreateWindow.
#include <ddraw.h>

namespace gfxwin::win32 {

namespace {

using DirectDrawCreateFn = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

int Init(const char* title, int32_t width, int32_t height, int32_t depth, int32_t refreshRate,
         int32_t flags) {
    const char* refusal = (flags & kScreenOpenGL)     ? "nicht fuer OpenGL-Bildschirme"
                          : (flags & kScreenShaped)   ? "keine geformten Fenster"
                          : !OpenVerticalBlankEvent() ? "kein Ereignis fuer den Bildwechsel"
                                                      : nullptr;
    if (refusal != nullptr) {
        RefuseStart("%s", refusal);
        return -1;
    }
    if (!WindowStart(OpenDirectXHost, title, width, height, depth, refreshRate, flags)) return -1;
    UseSystemBeep(true);
    return 0;
}

void Exit() {
    WindowStop();
    CloseVerticalBlankEvent();
    UseSystemBeep(false);
}

// The display modes DirectDraw lists whose depth is `depth`, a 16-bit mode
// with the green mask 0x3E0 counting as 15, as width * 65536 + height; a
// failed growth of the list ends it early.
int32_t* FetchDirectDrawModes(int32_t depth, int32_t* count) {
    struct Modes {
        int32_t depth;
        int32_t* list = nullptr;
        int32_t n = 0, capacity = 0;
        bool full = false;
    } modes{depth};
    RuntimeLibrary ddraw;
    IDirectDraw* directDraw = nullptr;
    const auto create =
        ddraw.Load("ddraw.dll") ? ddraw.Entry<DirectDrawCreateFn>("DirectDrawCreate") : nullptr;
    if (create != nullptr && SUCCEEDED(create(nullptr, &directDraw, nullptr))) {
        directDraw->EnumDisplayModes(
            0, nullptr, &modes, [](LPDDSURFACEDESC desc, LPVOID context) -> HRESULT {
                auto* m = static_cast<Modes*>(context);
                const DDPIXELFORMAT& pf = desc->ddpfPixelFormat;
                int32_t bits = static_cast<int32_t>(pf.dwRGBBitCount);
                if (bits == 16 && pf.dwGBitMask == 0x3E0) bits = 15;
                if (bits != m->depth) return DDENUMRET_OK;
                if (m->n == m->capacity) {
                    const int32_t grown = m->capacity == 0 ? 16 : m->capacity * 2;
                    auto* bigger = static_cast<int32_t*>(
                        std::realloc(m->list, sizeof(int32_t) * static_cast<size_t>(grown)));
                    if (bigger == nullptr) return DDENUMRET_CANCEL;
                    m->list = bigger;
                    m->capacity = grown;
                }
                m->list[m->n++] = static_cast<int32_t>(desc->dwWidth * 65536 + desc->dwHeight);
                return DDENUMRET_OK;
            });
        directDraw->Release();
    }
    if (count != nullptr) *count = modes.n;
    return modes.list;
}

constexpr WindowDriver kDirectX = [] {
    WindowDriver d = WindowLayerDriver("DirectX", Init, Exit, FetchDirectDrawModes);
    d.waitVBlank = VerticalBlankHandshake;
    return d;
}();

}  // namespace

const WindowDriver* DirectXDriver() {
    return &kDirectX;
}

}  // namespace gfxwin::win32
