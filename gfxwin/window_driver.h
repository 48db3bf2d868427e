// A window driver: a name and a table of operations. An empty slot means the
// driver does not have that operation; callers test before calling.
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

// Two negative flag words are requests of their own, not sets of flags: the
// Null driver without a window, and the quiet close (mode 0 without clearing
// the console).
constexpr int32_t kScreenNullDriver = -1;
constexpr int32_t kScreenQuietClose = INT32_MIN;  // 0x80000000

// True when `flags` is a set of the flags above: a word that is not negative.
constexpr bool HoldsScreenFlags(int32_t flags) {
    return flags >= 0;
}

struct WindowDriver {
    const char* name = nullptr;  // never null in a table
    // Starts the driver (and its window); 0 when started, -1 otherwise.
    // `height` is the framebuffer height times the mode's scanline size.
    int (*init)(const char* title, int32_t width, int32_t height, int32_t depth,
                int32_t refreshRate, int32_t flags) = nullptr;
    void (*exit)() = nullptr;  // stops the driver
    // Take and release the lock shared with the presentation.
    void (*lock)() = nullptr;
    void (*unlock)() = nullptr;
    // One device palette entry, components 0..255.
    void (*setPalette)(int index, int red, int green, int blue) = nullptr;
    void (*waitVBlank)() = nullptr;  // waits for the display's next frame
    // 0, or -1 when there is no pointer position to give.
    int (*getMouse)(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons,
                    int32_t* clip) = nullptr;
    void (*setMouse)(int32_t x, int32_t y, int32_t visibility, int32_t clip) = nullptr;
    void (*setTitle)(const char* title) = nullptr;
    // The packed position, or 0.
    int32_t (*setPosition)(int32_t x, int32_t y) = nullptr;
    // Entries width * 65536 + height, allocated with malloc; the caller frees.
    int32_t* (*fetchModes)(int32_t depth, int32_t* count) = nullptr;
    void (*flip)() = nullptr;        // shows the frame drawn
    void (*pollEvents)() = nullptr;  // serves the window on the calling thread
};

// The driver that keeps the screen in memory only: no window, no start, and a
// lock that does nothing.
const WindowDriver* NullDriver();

}  // namespace gfxwin
