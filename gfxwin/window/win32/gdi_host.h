// The "GDI" window driver and its host: the Win32 window host (win32_host.h)
// with a picture shown through SetDIBitsToDevice: rows of palette indices with
// a 256-entry colour table, one call per update pass for the rows from the
// first to the last dirty one. A 640-pixel-wide 8-bit screen goes to the
// window straight from the framebuffer.
#pragma once

#include "gfxwin/window/window_host.h"

namespace gfxwin::win32 {

// Opens the host on the window thread (the Win32 window host with the GDI
// picture). Never null.
host::WindowHost* OpenGdiHost();

// What the presentation did, for tests and measurements.
struct GdiCounters {
    unsigned long long transfers;     // SetDIBitsToDevice calls
    unsigned long long rows;          // rows they copied
    unsigned long long paints;        // whole frames shown for WM_PAINT
    unsigned long long colourTables;  // colour-table and logical-palette updates
    bool fromFramebuffer;             // the last rows went without conversion
};
GdiCounters ReadGdiCounters();

}  // namespace gfxwin::win32
