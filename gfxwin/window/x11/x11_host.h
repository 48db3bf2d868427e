// The X11 window host (Xlib, with MIT-SHM when the server offers it) and the
// "X11" window driver built on it. The host's parts: x11_window.h.
#pragma once

#include "gfxwin/window/window_host.h"
#include "gfxwin/window_driver.h"

namespace gfxwin::x11 {

// Connects to the display named by DISPLAY; null when there is none or it
// cannot be reached (said with RefuseStart). Window thread.
host::WindowHost* OpenX11Host();

// The "X11" driver: the window layer on an X11 host.
const WindowDriver* X11Driver();

// How the last window created showed its picture: true through shared memory,
// false through plain image transfers. For tests and measurements.
bool LastWindowUsedSharedMemory();

// Test aid: makes the next window refuse shared memory, as a remote server
// would.
void DisableSharedMemoryForNextWindow();

}  // namespace gfxwin::x11
