// The window drivers' entry points, one per driver, each defined in the
// folder of its window system. The driver list (driver_list.cpp) names them;
// a build has the drivers of the window systems it found.
#pragma once

#include "gfxwin/window_driver.h"

namespace gfxwin::x11 {

// "X11": the window layer on an X11 host (x11/).
const WindowDriver* X11Driver();

}  // namespace gfxwin::x11

namespace gfxwin::win32 {

// "DirectX", "GDI" and "OpenGL": the Win32 window host with a picture in
// DirectDraw surfaces, through SetDIBitsToDevice, or in a WGL context (win32/).
const WindowDriver* DirectXDriver();
const WindowDriver* GdiDriver();
const WindowDriver* OpenGlDriver();

}  // namespace gfxwin::win32

namespace gfxwin::web {

// "Web": the window layer on the page's canvas, without a window thread (web/).
const WindowDriver* WebDriver();

}  // namespace gfxwin::web
