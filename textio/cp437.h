// Code page 437, the character set of every text the program shows and writes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace textio {

// The Unicode character of a code page 437 byte. Bytes below 0x80 map to
// themselves (control bytes stay control bytes).
char32_t Cp437ToUnicode(unsigned char byte);

// The code page 437 byte of a Unicode character, or -1 when it has none.
int UnicodeToCp437(char32_t ch);

// Appends the UTF-8 form of `ch` to out (at most 4 bytes); returns the count.
size_t EncodeUtf8(char32_t ch, char* out);

}  // namespace textio
