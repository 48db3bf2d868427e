// A small, deterministic PNG and ICO encoder for palette images: the same
// pixels always give the same bytes, whatever libraries the machine has. The
// pixel data is compressed with our own deflate (fixed Huffman codes, matches
// at the distances of a run and of the row above).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct PaletteColour {
    uint8_t red, green, blue, alpha;
};

struct PaletteImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;         // one palette index per pixel, rows from the top
    std::vector<PaletteColour> palette;  // at most 256 entries
};

uint32_t Crc32(const uint8_t* data, size_t length, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t length);

// The PNG file of an 8-bit palette image; a tRNS chunk is written when some
// entry is not opaque.
std::string EncodePng(const PaletteImage& image);

// An ICO file that holds the given PNG files, one entry per size (sizes up to
// 256 pixels, square).
std::string EncodeIco(const std::vector<std::string>& pngs, const std::vector<int>& sizes);

}  // namespace tools
