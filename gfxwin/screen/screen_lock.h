// The nesting screen lock of the drawing thread. Only the outermost pair takes
// and releases the driver's lock.
#pragma once

#include <cstdint>

namespace gfxwin {

// Does nothing when no screen is open.
void LockScreen();

// Marks rows first..last dirty (a negative last means the bottom row) when the
// work page is visible, then releases one level. UnlockScreen(1, 0) releases
// without marking.
void UnlockScreen(int32_t firstRow, int32_t lastRow);

// Holds the screen lock for its scope and releases it without marking rows.
class ScreenLockGuard {
  public:
    ScreenLockGuard() { LockScreen(); }
    ~ScreenLockGuard() { UnlockScreen(1, 0); }
    ScreenLockGuard(const ScreenLockGuard&) = delete;
    ScreenLockGuard& operator=(const ScreenLockGuard&) = delete;
};

}  // namespace gfxwin
