// Text to number: stored table items and typed items become doubles.
#pragma once

#include <cstddef>
#include <cstdint>

#include "textio/double_conversion.h"

namespace textio {

// Converts n bytes (no terminator needed): leading spaces, "&H/&O/&B/&" radix
// integers, the "0x" rule (gives 0), 'D'/'d' exponents, then C-locale strtod rules.
double DoubleFromText(const char* bytes, size_t n);

// Converts a zero-terminated item of length `length` (at most 67) by the
// floating mark and its length: 32-bit or 64-bit integer readers or strtod rules.
double ItemAsDouble(const char* item, int length, bool floating);

// 32-bit and 64-bit integer readers used by ItemAsDouble.
int32_t Int32FromText(const char* text, size_t n);
int64_t Int64FromText(const char* text, size_t n);

// The digit loop of the radix readers, in wrapping 64-bit arithmetic.
int64_t RadixDigits(const char* text, int64_t count, int radix);

// strtod of the C locale on a zero-terminated text, whatever the process locale is.
double StrtodC(const char* text);

// Reads a decimal number at the start of [first, last) as std::from_chars
// does in its general format, numbers only (no "inf" or "nan"): an optional
// "-", digits with an optional point, an optional exponent. Returns the end of
// what it read (first when there is no number there) and whether the number
// is a double: kOutOfRange (too large, or not zero and rounding to zero) leaves
// *value alone.
const char* ReadDecimal(const char* first, const char* last, double* value, ParseStatus* status);

}  // namespace textio
