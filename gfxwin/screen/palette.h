// The open screen's palette: the logical colours of the palette indices, the
// device entries handed to the driver, and the VGA ports through which old
// programs read and set them: the colour DAC (0x3C7 read index, 0x3C8 write
// index, 0x3C9 data, 6-bit components) and the input status register 0x3DA,
// whose retrace bits change on every read.
#pragma once

#include <cstdint>

namespace gfxwin {

struct ScreenState;

// Fills the palette from the screen's default palette and hands the device
// entries to the driver (depths up to 8 only; the emulated small-palette modes
// map device entries through their colour association). Marks every row.
void ApplyDefaultPalette(ScreenState& screen);

// Sets logical and device palette entry `index` (components 0..255) of the
// open screen and hands it to the driver.
void SetScreenPaletteEntry(int index, uint8_t red, uint8_t green, uint8_t blue);

int32_t PortIn(int32_t port);
void PortOut(int32_t port, int32_t value);

// Forgets a half-written or half-read colour (a new screen opens).
void ResetVgaPorts();

}  // namespace gfxwin
