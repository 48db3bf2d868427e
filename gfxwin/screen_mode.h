// Opening and closing the graphics screen.
#pragma once

#include <cstdint>

namespace gfxwin {

// What OpenScreen can leave to the screen: the mode's own page count, no
// screen flags (a window with a frame), the display's refresh rate.
constexpr int32_t kModePages = 0;
constexpr int32_t kNoScreenFlags = 0;
constexpr int32_t kAnyRefreshRate = 0;

// Opens graphics mode `mode` (0 closes). Returns 0 on success, 1 on failure;
// the code is also stored as the runtime's last error.
int OpenScreen(int32_t mode, int32_t depth, int32_t pages, int32_t flags, int32_t refreshRate);

// Closes the open screen quietly; does nothing when none is open.
void CloseScreen();

}  // namespace gfxwin
