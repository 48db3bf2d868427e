// The set-up of a graphics mode behind OpenScreen and CloseScreen, and the
// window title it derives from the executable's name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/window_driver.h"

namespace gfxwin {

struct ModeRequest {
    int32_t mode;
    int32_t width;
    int32_t height;
    int32_t scanlineSize;
    int32_t paletteIndex;  // -1 = none
    int32_t fontIndex;     // -1 = none
    int32_t textColumns;
    int32_t textRows;
    int32_t depth;
    int32_t pages;
    int32_t flags;
    int32_t refreshRate;
    float aspect;  // 0 = from width and height
};

// Tears down the open screen, then builds the requested one (mode 0 or width 0
// only closes). 0 on success, 1 when no driver starts or memory runs out; a
// failed set-up leaves no screen behind.
int SetMode(const ModeRequest& request);

// The window title: the file name of `path` after its last '/' or '\', cut at
// its last '.'.
std::string TitleFromPath(std::string_view path);

// The current window title ("" before the first open).
const char* WindowTitle();

}  // namespace gfxwin
