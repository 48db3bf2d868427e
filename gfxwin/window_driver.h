// A window driver: a name and a table of operations in a fixed slot order.
// An empty slot means the driver does not have that operation; callers test
// before calling.
#pragma once

#include <climits>
#include <cstdint>

namespace gfxwin {

// Screen flags: what OpenScreen is asked for, handed on to the driver's init.
constexpr int32_t kScreenFullScreen = 0x01;
constexpr int32_t kScreenOpenGL = 0x02;
constexpr int32_t kScreenNoSwitch = 0x04;  // no switching between window and full screen
constexpr int32_t kScreenNoFrame = 0x08;
constexpr int32_t kScreenShaped = 0x10;
constexpr int32_t kScreenOnTop = 0x20;
constexpr int32_t kScreenAlpha = 0x40;
// The whole flag word of a quiet close (mode 0 without clearing the console).
constexpr int32_t kScreenQuietClose = INT32_MIN;  // 0x80000000

struct WindowDriver {
    const char* name;
    // 1: starts the driver (and its window); 0 when started, -1 otherwise.
    //    `height` is the framebuffer height times the mode's scanline size.
    int (*init)(const char* title, int32_t width, int32_t height, int32_t depth,
                int32_t refreshRate, int32_t flags);
    // 2: stops the driver.
    void (*exit)();
    // 3, 4: take and release the lock shared with the presentation.
    void (*lock)();
    void (*unlock)();
    // 5: one device palette entry, components 0..255.
    void (*setPalette)(int index, int red, int green, int blue);
    // 6
    void (*waitVBlank)();
    // 7: 0 or -1.
    int (*getMouse)(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons, int32_t* clip);
    // 8
    void (*setMouse)(int32_t x, int32_t y, int32_t visibility, int32_t clip);
    // 9
    void (*setTitle)(const char* title);
    // 10: packed position or 0.
    int32_t (*setPosition)(int32_t x, int32_t y);
    // 11: entries width * 65536 + height, allocated with malloc; the caller frees.
    int32_t* (*fetchModes)(int32_t depth, int32_t* count);
    // 12
    void (*flip)();
    // 13
    void (*pollEvents)();
};

// The driver that keeps the screen in memory only: no window, no start, and a
// lock that does nothing.
const WindowDriver* NullDriver();

}  // namespace gfxwin
