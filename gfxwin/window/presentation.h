// Presentation: the framebuffer brought into the window. Dirty rows are
// converted through the palette into the window system's pixel format and
// shown in one transfer per pass.
#pragma once

#include <cstdint>

#include "gfxwin/window/window.h"
#include "gfxwin/window/window_host.h"

namespace gfxwin {

// The converter for a framebuffer of `sourceDepth` bits (1..8 indexed, 16,
// 32) into `format`; null when the pair has none. Converters whose source is
// 16 bits expand through the screen's lookup area, which this fills. An
// indexed source into an indexed (8-bit) picture is the row copy.
RowConverter ChooseConverter(int32_t sourceDepth, const host::PixelFormat& format);

// Window thread (for a window started without one, the drawing thread).
// Connects to the window system, creates the window and picks the converter;
// false (with nothing left behind, and the reason recorded with RefuseStart)
// when any step fails. An indexed host that does not lock its picture takes
// the rows of a one-byte-per-pixel framebuffer as they are when their pitch
// is a multiple of 4 and no scan line repeats: no converter.
bool PresentationInit(WindowState& ws);
// The same thread. Destroys the window and closes the connection.
void PresentationExit(WindowState& ws);

// One update pass, under the driver lock: carries out the drawing thread's
// requests, applies a changed palette, shows the rows from the first to the
// last dirty row, clears the marks, refreshes the key states while the window
// is active and delivers the pending messages to the window procedure, which
// keeps the pointer state in `mouse`.
void UpdatePass(WindowState& ws, MouseState& mouse);

// Shows the whole picture again (the window was exposed).
void PaintWindow(WindowState& ws);

// Sets the key states from the host's keyboard state through the key map.
void RefreshKeyStates(WindowState& ws);

}  // namespace gfxwin
