// The window procedure: what each window message does to the key buffer, the
// key states, the event queue, the mouse state and the window. Runs on the
// window thread under the driver lock (the update pass delivers the
// messages); tests call it directly.
#pragma once

#include <cstdint>

#include "gfxwin/window/window.h"
#include "gfxwin/window/window_host.h"

namespace gfxwin {

// Event kinds of the event queue.
enum EventKind : int32_t {
    kEventKeyPress = 1,
    kEventKeyRelease = 2,
    kEventKeyRepeat = 3,
    kEventMouseMove = 4,
    kEventButtonPress = 5,
    kEventButtonRelease = 6,
    kEventDoubleClick = 7,
    kEventWheel = 8,
    kEventMouseEnter = 9,
    kEventMouseExit = 10,
    kEventFocusGained = 11,
    kEventFocusLost = 12,
    kEventClose = 13,
    kEventHorizontalWheel = 14,
};

// Returns whether the window system's default handling of the message should
// follow (false: fully handled here). `mouse` is the pointer state the message
// updates.
bool WindowProcedure(WindowState& ws, MouseState& mouse, const host::WindowMessage& message);

// The key code of a key message (key down, key up, system key down), or
// kNoKey: the modifiers come from the host's keyboard state.
int32_t KeyCodeOf(WindowState& ws, const host::WindowMessage& message);

// Switches between the window and full screen (Alt+Enter, maximise).
void ToggleFullScreen(WindowState& ws, MouseState& mouse);

}  // namespace gfxwin
