// The "OpenGL" window driver: only for screens opened with the OpenGL flag.
// Its window has no thread: the start makes it on the drawing thread, poll
// events serves it there, flip shows the frame drawn through OpenGL. The lock
// has nothing to guard, and there is no palette.
#include "gfxwin/window/driver_entries.h"
#include "gfxwin/window/refusal.h"
#include "gfxwin/window/win32/opengl_host.h"
#include "gfxwin/window/win32/win32_window.h"
#include "gfxwin/window/window.h"

namespace gfxwin::win32 {

namespace {

int Init(const char* title, int32_t width, int32_t height, int32_t depth, int32_t refreshRate,
         int32_t flags) {
    if (!(flags & kScreenOpenGL)) {
        DeclineStart("nur fuer OpenGL-Bildschirme");
        return -1;
    }
    if (!LoadOpenGl()) return -1;
    if (!WindowStartHere(OpenOpenGlHost, title, width, height, depth, refreshRate, flags)) {
        FreeOpenGl();
        return -1;
    }
    UseSystemBeep(true);
    return 0;
}

// The window goes (context, drawing context, display mode, window), then the
// library.
void Exit() {
    WindowStop();
    FreeOpenGl();
    UseSystemBeep(false);
}

// The table of a window served on the drawing thread, without a palette and
// with the flip.
constexpr WindowDriver OpenGlTable() {
    WindowDriver d = WindowHereDriver("OpenGL", Init, Exit, EnumeratedDisplayModes);
    d.setPalette = nullptr;
    d.flip = FlipOpenGl;
    return d;
}

constexpr WindowDriver kOpenGl = OpenGlTable();

}  // namespace

const WindowDriver* OpenGlDriver() {
    return &kOpenGl;
}

}  // namespace gfxwin::win32
