// The LZW decoder of the packed built-in data block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gfxwin {

// Decodes 12-bit LZW codes (two per three bytes, 4095 ends the data) into out;
// the stream format is described in lzw.cpp. Returns the number of bytes
// written, or -1 when the input ends before the end code, the output would
// exceed `capacity`, or a code is neither defined yet nor the one being
// defined. Safe on untrusted input: never reads past `inSize` or writes past
// `capacity`.
long LzwUnpack(const uint8_t* in, size_t inSize, uint8_t* out, size_t capacity);

}  // namespace gfxwin
