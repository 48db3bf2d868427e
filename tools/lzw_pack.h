// LZW packer producing the stream that gfxwin::LzwUnpack reads.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace wltools {

// Packs `data` into 12-bit LZW codes, two per three bytes (see gfxwin/data/lzw.cpp
// for the layout). Entries are numbered from 256 and stop after 4094; the
// stream closes with end code 4095. When the code count including the end code
// is odd, the end code opens the last group and the other half is zero. Empty
// input gives just the end code.
std::vector<uint8_t> LzwPack(std::span<const uint8_t> data);

}  // namespace wltools
