// The exact conversions between doubles and decimal text that number text and
// text-to-number are built on. They round correctly (to nearest, ties to
// even, on the exact binary value) and never consult the locale, so every
// build gives the same bytes and the same bits.
//
// Where the C++ library has floating-point <charconv>, they are std::to_chars
// and std::from_chars (double_conversion.cpp). A library without it (the
// browser build's) gets them from the C library's snprintf and strtod, which
// round the same way there (double_conversion_libc.cpp); CMake picks one.
// tools/number_conversion_check.py compares the two on a million cases.
#pragma once

namespace textio {

// Writes `value` (finite) as "[-]d.ddde±dd" with `precision` digits after the
// point (none and no point for 0) and at least two exponent digits, as
// std::to_chars in scientific form does. [first, last) must have room for the
// text and a terminator, precision + 9 bytes. Returns the end of the text.
char* ScientificText(double value, int precision, char* first, char* last);

// Writes `value` (finite) in the shortest form that reads back as exactly
// `value`, as std::to_chars without format and precision does: fixed or
// scientific, whichever is shorter (fixed on a tie), and of the shortest
// forms the one nearest the value (so a large whole number in fixed form has
// its exact digits). [first, last) must have room for 32 bytes. Returns the
// end of the text.
char* ShortestText(double value, char* first, char* last);

enum class ParseStatus { kOk, kInvalid, kOutOfRange };

// Reads the number that fills [first, last) as std::from_chars does: decimal
// digits with an optional point and an exponent "e±n", or with `hex`
// hexadecimal digits with an optional point and a binary exponent "p±n",
// without sign and without "0x". kOutOfRange leaves *value alone: the number
// is too large for a double, or it is not zero and rounds to zero. kInvalid:
// no digits.
ParseStatus ParseDouble(const char* first, const char* last, bool hex, double* value);

}  // namespace textio
