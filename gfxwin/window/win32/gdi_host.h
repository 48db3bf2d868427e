// The Win32 window host (user32 and gdi32) and the "GDI" window driver built
// on it.
//
// The window thread registers a window class named "krgfxclass_" followed by
// the address of the window record, creates the window and feeds real window
// messages through the window procedure of the window layer. The framebuffer
// is shown with SetDIBitsToDevice: rows of palette indices with a 256-entry
// colour table, one call per update pass for the rows from the first to the
// last dirty one. A 640-pixel-wide 8-bit screen goes to the window straight
// from the framebuffer.
#pragma once

#include "gfxwin/window/window_host.h"
#include "gfxwin/window_driver.h"

namespace gfxwin::win32 {

// Opens the host on the window thread: reads the system version and the
// optional user32 entry points, turns the screen saver off until the host
// closes, and registers the window class. Never null.
host::WindowHost* OpenGdiHost();

// The "GDI" driver: the window layer on the Win32 host.
const WindowDriver* GdiDriver();

// Facts about the last window the host created, for tests.
struct WindowFacts {
    char className[28];
    unsigned long style;
    unsigned long classStyle;
    int outerWidth, outerHeight;
    int clientWidth, clientHeight;
    bool fromFramebuffer;  // the rows went to the window without conversion
};
WindowFacts LastWindowFacts();

// Counts of the platform calls of the presentation, for tests and measurements.
struct GdiCounters {
    unsigned long long transfers;     // SetDIBitsToDevice calls
    unsigned long long rows;          // rows they copied
    unsigned long long paints;        // whole frames shown for WM_PAINT
    unsigned long long colourTables;  // colour-table and logical-palette updates
};
GdiCounters ReadGdiCounters();

// Test aid: the next host behaves as if user32 had no TrackMouseEvent, so the
// pointer's leaving is found by the 100 ms timer.
void UseLeaveTimerForNextHost();

}  // namespace gfxwin::win32
