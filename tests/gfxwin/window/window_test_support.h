// Aids for tests of the window layer: the recorded events, and for a window
// on a real window system (X11 on Xvfb, or Win32 under Wine) the waits, the
// keys read back as text and the picture compared with the framebuffer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfxwin/screen/screen_state.h"

namespace gfxwin::testing {

// The events recorded in the open screen's queue, oldest first (read under
// the screen lock).
std::vector<WindowEvent> RecordedEvents();

// Waits (at most 3 s) until two update passes in a row showed nothing: what
// was drawn is in the window and the messages so far were handled.
void WaitIdle();

// The key codes read through the console slot as text (the bytes of each key),
// until none came for `quietMs`.
std::string KeysAsText(int quietMs);

// Compares every framebuffer pixel, through the device palette, with the
// window's pixel at the same place: `windowPixel(x, y)` gives it as 0xRRGGBB.
::testing::AssertionResult FramebufferShown(const std::function<uint32_t(int, int)>& windowPixel);

}  // namespace gfxwin::testing
