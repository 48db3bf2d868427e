// The "DirectX" window driver and its host: the Win32 window host
// (win32_host.h) with a picture in DirectDraw surfaces and the key states read
// from a DirectInput keyboard device. "ddraw.dll" and "dinput.dll" are loaded
// when a window is made, so the program imports neither.
//
// Windowed, dirty rows are converted into an off-screen system-memory surface
// in the display's pixel format and blitted to the client area; in full
// screen DirectDraw switches the display mode and the rows are converted
// straight into the primary surface, centred vertically when only a taller
// mode was to be had.
#pragma once

#include "gfxwin/window/window_host.h"

namespace gfxwin::win32 {

// Opens the host on the window thread. Never null.
host::WindowHost* OpenDirectXHost();

// What the presentation did, for tests and measurements (read under the
// driver lock).
struct DirectXCounters {
    unsigned long long locks;           // picture locks that succeeded
    unsigned long long restores;        // surface restores after a loss
    unsigned long long retries;         // locks and blits tried again after a restore
    unsigned long long blits;           // blits to the window
    unsigned long long rows;            // rows they carried
    unsigned long long recreations;     // presentations made again after a lost display mode
    unsigned long long keyReads;        // keyboard device states read
    unsigned long long reacquires;      // times the keyboard device was acquired again
    unsigned long long handshakes;      // vertical-blank requests of the drawing thread
    unsigned long long handshakeWaits;  // passes that waited for one
    unsigned long long handshakesSeen;  // ... and saw it signalled within 20 ms
    int bitsPerPixel;                   // the primary surface's
};
DirectXCounters ReadDirectXCounters();

// Test aid: the next operation of that kind fails once as the system would
// report it. kLockLost: the picture's lock finds its surface lost; kBlitLost:
// the blit does; kModeLost: a lock finds the surface lost and its restore the
// display mode changed; kKeyboardLost: the keyboard device is taken away
// before its next read.
enum class DirectXFault { kLockLost, kBlitLost, kModeLost, kKeyboardLost };
void InjectDirectXFault(DirectXFault fault);

// Within this folder: the vertical-blank handshake of the drawing thread
// (directx_driver.cpp) with the host's passes. The event is the driver's
// from its init to its exit.
bool OpenVerticalBlankEvent();
void CloseVerticalBlankEvent();
void VerticalBlankHandshake();

}  // namespace gfxwin::win32
