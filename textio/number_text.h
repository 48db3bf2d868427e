// Number text: the exact bytes every print operation writes for a number.
#pragma once

#include <cstddef>
#include <cstdint>

namespace textio {

// What ends a print item.
enum PrintMask : unsigned {
    kMaskNone = 0,
    kMaskLineEnd = 1,         // a line end
    kMaskZone = 2,            // an advance to the next print zone (a line end wins)
    kMaskLineEndAlso = 4,     // a line end too: a second bit with the meaning of kMaskLineEnd
    kMaskTrailingBlank = 16,  // integers only: one blank after the number
    kMaskAnyLineEnd = kMaskLineEnd | kMaskLineEndAlso,
};

constexpr unsigned kAddBlank = 1;  // FormatFloat option: reserve and fill the sign place
constexpr int kDoubleDigits = 16;
constexpr int kSingleDigits = 7;
constexpr size_t kFloatBufferSize = 40;    // what the print operations use
constexpr size_t kIntegerBufferSize = 80;  // what the print operations use

// Formats `value` with `digits` significant digits (the "%.Ng" rules with a
// three-digit exponent, rounded on the exact binary value) into `buffer` of
// `size` bytes. With kAddBlank the text starts at buffer[1]: a non-negative
// value gets a blank at buffer[0] and buffer is returned, a negative one returns
// buffer + 1 and leaves buffer[0] alone. Infinities and NaNs print as "1.#INF",
// "1.#QNAN", "1.#SNAN" and "-1.#IND" (the NaN of invalid arithmetic).
// Returns null, with buffer[0] set to 0 when size > 0, when digits < 0, when
// the text reaches the limit of digits + 8 bytes, or when it does not fit in
// `size` bytes together with its terminator. Nothing is written past `size`.
char* FormatFloat(double value, char* buffer, size_t size, int digits, unsigned options);

// The shortest text that reads back as exactly `value` (what std::to_chars
// writes without a precision, as Python and JavaScript print floats: "554.44",
// "1.7976931348623157e+308", "1e-05"), with "inf", "-inf" and "nan" for the
// non-finite values, for data that other programs read. Writes no terminator
// and returns the length (at most 24); `buffer` has room for
// kShortestBufferSize bytes.
constexpr size_t kShortestBufferSize = 32;
size_t FormatShortest(double value, char* buffer);

// Integer text with the print mask folded in (bits 1/4: CR LF, 16: trailing
// blank before it). Writes the zero-terminated text into buffer and returns its
// length; the longest text needs 24 bytes with the terminator (callers use 80).
// When it does not fit, returns 0 with an empty buffer. Signed values get a
// blank in the sign place.
size_t FormatInt64(int64_t value, unsigned mask, char* buffer, size_t size);
size_t FormatUInt64(uint64_t value, unsigned mask, char* buffer, size_t size);

}  // namespace textio
