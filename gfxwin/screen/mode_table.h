// The graphics modes that can be opened by number, and the colour association
// lists of the emulated modes.
#pragma once

#include <cstdint>
#include <span>

namespace gfxwin {

// One row of the mode table, 12 bytes. A row of width 0 is not a graphics mode.
struct ModeInfo {
    uint16_t width;
    uint16_t height;
    uint8_t depth;         // default bits per pixel
    uint8_t scanlineSize;  // the window shows height * scanlineSize rows
    uint8_t pages;         // default page count
    int8_t palette;        // built-in palette index, -1 = none
    int8_t font;           // built-in font index, -1 = none
    uint8_t textColumns;
    uint8_t textRows;
    uint8_t reserved;
};
static_assert(sizeof(ModeInfo) == 12, "mode rows are 12 bytes");

constexpr int kModeCount = 22;  // modes 0..21

// The row for `mode`, or null when the number is outside 0..21.
const ModeInfo* FindMode(int32_t mode);

// Device index -> logical palette index for the modes that emulate a small
// hardware palette (1, 2, 7, 8, 9); empty for every other mode. Mode 1 has four
// lists picked by `selector` (-1, -2, -3, -4 or below).
std::span<const uint8_t> ColourAssociation(int32_t mode, int selector);

}  // namespace gfxwin
