// Number text: the exact bytes every print operation writes for a number.
#pragma once

#include <cstddef>
#include <cstdint>

namespace textio {

constexpr unsigned kAddBlank = 1;  // FormatFloat option: reserve and fill the sign place
constexpr int kDoubleDigits = 16;
constexpr int kSingleDigits = 7;
constexpr size_t kFloatBufferSize = 40;    // what the print operations use
constexpr size_t kIntegerBufferSize = 80;  // what the print operations use

// Formats `value` with `digits` significant digits (the "%.Ng" rules with a
// three-digit exponent) into `buffer` of `size` bytes. Returns a pointer to the
// first byte of the zero-terminated text inside buffer, or null when no text
// could be made (buffer too small for the limit of digits + 8).
char* FormatFloat(double value, char* buffer, size_t size, int digits, unsigned options);

// Integer text with the print mask folded in (bits 1/4: CR LF, 16: trailing
// blank). Writes into buffer (at least 80 bytes used by callers, 24+3 needed) and
// returns the length. Signed values get a blank in the sign place.
size_t FormatInt64(int64_t value, unsigned mask, char* buffer, size_t size);
size_t FormatUInt64(uint64_t value, unsigned mask, char* buffer, size_t size);

}  // namespace textio
