// The key and mouse operations that an open screen puts into the console
// slots: read key as text, wait for key, key waiting, key down by scan code,
// read mouse and set mouse.
#pragma once

#include <cstdint>

namespace gfxwin {

// -1 while the key with that scan code is down, else 0 (also without a screen
// or for scan codes outside 0..127).
int32_t KeyDownByScanCode(int32_t scanCode);

// The pointer in the window: 0 with the outputs set, or 1 with every output
// -1 (no screen, no mouse, window inactive, pointer outside). wheel, buttons
// and clip may be null. The code is also the runtime's last error.
int32_t ReadMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons, int32_t* clip);

// Moves, shows or hides and confines the pointer (INT32_MIN keeps a
// coordinate; visibility and clip: 0 off, positive on, negative keep).
// 1 when no screen with a mouse is open, else 0.
int32_t SetMousePointer(int32_t x, int32_t y, int32_t visibility, int32_t clip);

}  // namespace gfxwin
