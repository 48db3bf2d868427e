// The X11 window host (Xlib, with MIT-SHM when the server offers it), on which
// the "X11" window driver is built. The host's parts: x11_window.h.
#pragma once

#include <cstdint>

#include "gfxwin/window/window_host.h"

namespace gfxwin::x11 {

// Connects to the display named by DISPLAY; null when there is none or it
// cannot be reached (said with RefuseStart). Window thread.
host::WindowHost* OpenX11Host();

// How the last window created showed its picture: true through shared memory,
// false through plain image transfers. For tests and measurements.
bool LastWindowUsedSharedMemory();

// Test aid: makes the next window refuse shared memory, as a remote server
// would.
void DisableSharedMemoryForNextWindow();

// The scale of the picture in the window: WL_SCALE (a whole number 1..8)
// when given, else GDK_SCALE (the same), else round(Xft.dpi / 96) when that
// is 2 or more (at most 8), else 1. Each argument is the variable's or the
// resource's text, or null when it is not set.
int32_t WindowedScale(const char* wlScale, const char* gdkScale, const char* xftDpi);
// The scale in full screen: the largest whole factor by which the picture
// still fits the screen, at least 1.
int32_t FullScreenScale(int32_t screenWidth, int32_t screenHeight, int32_t pictureWidth,
                        int32_t pictureHeight);

// Scales `rows` rows of `width` pixels of `bytesPerPixel` (1 to 4) bytes each
// by `scale` in both directions: each pixel becomes a scale x scale block.
// The destination holds rows * scale rows of width * scale pixels.
void ScaleRows(const uint8_t* source, int32_t sourcePitch, uint8_t* destination,
               int32_t destinationPitch, int32_t width, int32_t rows, int32_t bytesPerPixel,
               int32_t scale);

}  // namespace gfxwin::x11
