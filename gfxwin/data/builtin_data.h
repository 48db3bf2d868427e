// The built-in fonts and default palettes, kept packed and unpacked once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gfxwin {

// 256 glyphs in character-code order; each glyph is `height` rows from top to
// bottom, one byte per row (width 8), bit 0 = leftmost pixel.
struct FontDesc {
    int width;
    int height;
    const uint8_t* glyphs;
};

// `count` red, green, blue triplets, components 0..255.
struct PaletteDesc {
    int count;
    const uint8_t* rgb;
};

constexpr size_t kBuiltinBlockSize = 10742;

// Unpacks the built-in block on the first call; later calls return at once.
// Returns false only if the packed block is damaged (and then tries again on
// the next call). Safe to call from several threads.
bool UnpackBuiltinData();

// Font 0: 8x8, 1: 8x14, 2: 8x16. Unpacks the block first if that has not
// happened yet. Null when the index is out of range or the block is damaged.
// The descriptor and its glyphs stay valid for the life of the process.
const FontDesc* BuiltinFont(int index);
// Palette 0: 2 colours, 1: 16, 2: 64, 3: 256; otherwise as BuiltinFont.
const PaletteDesc* BuiltinPalette(int index);

}  // namespace gfxwin
