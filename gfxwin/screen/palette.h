// The VGA ports that old programs poke: the colour DAC (0x3C7 read index,
// 0x3C8 write index, 0x3C9 data, 6-bit components) and the input status
// register 0x3DA, whose retrace bits change on every read.
#pragma once

#include <cstdint>

namespace gfxwin {

int32_t PortIn(int32_t port);
void PortOut(int32_t port, int32_t value);

// Forgets a half-written or half-read colour (a new screen opens).
void ResetVgaPorts();

// Sets palette and device palette entry `index` and hands it to the driver.
void SetPaletteEntry(int index, uint8_t red, uint8_t green, uint8_t blue);

}  // namespace gfxwin
