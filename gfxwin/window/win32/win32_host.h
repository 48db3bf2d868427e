// The Win32 window host that the Win32 drivers share: the window class named
// "krgfxclass_" followed by the host's address, the window, and the real
// window messages fed through the window procedure of the window layer. Each
// driver adds its picture (gdi_host.h). What tests may ask of it:
#pragma once

namespace gfxwin::win32 {

// Facts about the last window the host created.
struct WindowFacts {
    char className[28];
    unsigned long style;
    unsigned long classStyle;
    int outerWidth, outerHeight;
    int clientWidth, clientHeight;
};
WindowFacts LastWindowFacts();

// Test aid: the next host behaves as if user32 had no TrackMouseEvent, so the
// pointer's leaving is found by the 100 ms timer.
void UseLeaveTimerForNextHost();

}  // namespace gfxwin::win32
