// The exact conversions through the C library, for C++ libraries without
// floating-point <charconv>. This needs a C library whose snprintf writes the
// exact decimal value rounded to the precision and whose strtod rounds
// decimal numbers correctly, as musl's do. Both run in the "C" locale, so that
// a decimal comma the process chose never reaches the numbers. musl's strtod
// rounds hexadecimal
// numbers of the subnormal range twice (0xEb95B.bBAe7ea90p-1063 comes out one
// unit too large), so those are read here, with one rounding.
#include <locale.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "textio/double_conversion.h"

namespace textio {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The "C" locale for the calling thread while it lives.
class ClassicLocale {
  public:
    ClassicLocale() : previous_(uselocale(Classic())) {}
    ~ClassicLocale() { uselocale(previous_); }
    ClassicLocale(const ClassicLocale&) = delete;
    ClassicLocale& operator=(const ClassicLocale&) = delete;

  private:
    // Null when it cannot be made: uselocale then changes nothing.
    static locale_t Classic() {
        static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        return classic;
    }
    locale_t previous_;
};

// Far beyond every double's exponent, yet far from overflowing an int64_t.
constexpr int64_t kExponentCap = int64_t{1} << 40;

// The value m * 2^exponent, plus a little more when `sticky` (digits beyond
// m's 64 bits that were not all zero), rounded once to the nearest double,
// ties to even.
ParseStatus RoundToDouble(uint64_t m, int64_t exponent, bool sticky, double* value) {
    if (m == 0) {
        *value = 0.0;
        return ParseStatus::kOk;
    }
    const int shift = std::countl_zero(m);
    m <<= shift;
    // The value lies in [2^top, 2^(top + 1)).
    const int64_t top = exponent + 63 - shift;
    if (top > 1023) return ParseStatus::kOutOfRange;
    // Significant bits kept: 53, fewer below the smallest normal exponent.
    const int64_t keep = top >= -1022 ? 53 : top + 1075;
    if (keep < 0) return ParseStatus::kOutOfRange;
    const int drop = static_cast<int>(64 - keep);  // 11..64
    const uint64_t kept = drop == 64 ? 0 : m >> drop;
    const uint64_t rest = drop == 64 ? m : m & ((uint64_t{1} << drop) - 1);
    const uint64_t half = uint64_t{1} << (drop - 1);
    const bool up = rest > half || (rest == half && (sticky || (kept & 1) != 0));
    const double result =
        std::ldexp(static_cast<double>(kept + (up ? 1 : 0)), static_cast<int>(top - keep + 1));
    if (std::isinf(result) || result == 0.0) return ParseStatus::kOutOfRange;
    *value = result;
    return ParseStatus::kOk;
}

// Hexadecimal digits with an optional point and binary exponent, as
// from_chars reads them: the first 64 bits of digits exactly, the rest as a
// sticky bit.
ParseStatus ParseHex(const char* p, const char* last, double* value) {
    uint64_t m = 0;
    int64_t exponent = 0;
    bool sticky = false;
    bool digits = false;
    bool fraction = false;
    for (; p < last; ++p) {
        if (*p == '.' && !fraction) {
            fraction = true;
            continue;
        }
        const int d = HexDigit(*p);
        if (d < 0) break;
        digits = true;
        if (m >> 60 == 0) {
            m = m * 16 + static_cast<uint64_t>(d);
            if (fraction) exponent -= 4;
        } else {
            sticky = sticky || d != 0;
            if (!fraction) exponent += 4;
        }
        if (exponent < -kExponentCap) exponent = -kExponentCap;
        if (exponent > kExponentCap) exponent = kExponentCap;
    }
    if (!digits) return ParseStatus::kInvalid;
    if (p < last && (*p == 'p' || *p == 'P')) {
        ++p;
        const bool negative = p < last && *p == '-';
        if (p < last && (*p == '-' || *p == '+')) ++p;
        int64_t e = 0;
        for (; p < last && *p >= '0' && *p <= '9'; ++p) {
            if (e < kExponentCap) e = e * 10 + (*p - '0');
        }
        exponent += negative ? -e : e;
    }
    return RoundToDouble(m, exponent, sticky, value);
}

// Significant decimal digits: digits[0].digits[1..] times 10^exponent.
struct DecimalDigits {
    char digits[24];
    int count;
    int exponent;
};

// The `count` digits nearest to `magnitude` (positive).
DecimalDigits Nearest(double magnitude, int count) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*e", count - 1, magnitude);
    DecimalDigits d{};
    const char* p = text;
    for (; *p != 'e'; ++p) {
        if (*p != '.') d.digits[d.count++] = *p;
    }
    d.exponent = std::atoi(p + 1);
    return d;
}

double ReadBack(const DecimalDigits& d) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*se%d", d.count, d.digits, d.exponent - (d.count - 1));
    return std::strtod(text, nullptr);
}

// The decimal of as many digits one unit in the last place above or below.
DecimalDigits Step(DecimalDigits d, bool up) {
    int i = d.count - 1;
    if (up) {
        for (; i >= 0 && d.digits[i] == '9'; --i) d.digits[i] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {  // 9.99 becomes 1.00 of the next power of ten
            d.digits[0] = '1';
            ++d.exponent;
        }
        return d;
    }
    for (; d.digits[i] == '0'; --i) d.digits[i] = '9';
    --d.digits[i];
    if (d.digits[0] == '0') {  // 1.00 becomes 9.99 of the power of ten below
        for (int k = 0; k < d.count; ++k) d.digits[k] = '9';
        --d.exponent;
    }
    return d;
}

// The fewest digits that read back as `magnitude` (positive); of two such
// with as many digits, the nearer. Only at a power of two, where the double
// below is half as far as the one above, can the nearest digits miss while
// those on the other side read back: there every length is tried with both.
// Elsewhere more digits never read back worse than fewer, and the fewest are
// found by halving.
DecimalDigits Shortest(double magnitude) {
    int exponent = 0;
    if (std::frexp(magnitude, &exponent) == 0.5) {
        for (int count = 1;; ++count) {
            const DecimalDigits near = Nearest(magnitude, count);
            const double back = ReadBack(near);
            if (back == magnitude) return near;
            const DecimalDigits other = Step(near, back < magnitude);
            if (ReadBack(other) == magnitude) return other;
        }
    }
    int low = 1, high = 17;  // 17 digits always read back
    while (low < high) {
        const int middle = (low + high) / 2;
        if (ReadBack(Nearest(magnitude, middle)) == magnitude) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return Nearest(magnitude, low);
}

}  // namespace

char* ShortestText(double value, char* first, char* last) {
    const ClassicLocale classic;
    char* out = first;
    if (std::signbit(value)) *out++ = '-';
    const double magnitude = std::fabs(value);
    const DecimalDigits d = magnitude == 0.0 ? DecimalDigits{{'0'}, 1, 0} : Shortest(magnitude);
    const size_t room = static_cast<size_t>(last - out);

    // Scientific: d.ddde±dd.
    char scientific[40];
    const int scientificLength =
        d.count == 1
            ? std::snprintf(scientific, sizeof scientific, "%ce%+03d", d.digits[0], d.exponent)
            : std::snprintf(scientific, sizeof scientific, "%c.%.*se%+03d", d.digits[0],
                            d.count - 1, d.digits + 1, d.exponent);
    // Fixed: a whole number with all its digits (the exact value is the
    // nearest of the forms this long), or the digits around the point.
    const int fixedLength = d.exponent >= d.count - 1 ? d.exponent + 1
                            : d.exponent < 0          ? 1 - d.exponent + d.count
                                                      : d.count + 1;
    int n;
    if (fixedLength > scientificLength) {
        n = std::snprintf(out, room, "%s", scientific);
    } else if (d.exponent >= d.count - 1) {
        n = std::snprintf(out, room, "%.0f", magnitude);
    } else if (d.exponent < 0) {
        const std::string zeros(static_cast<size_t>(-d.exponent - 1), '0');
        n = std::snprintf(out, room, "0.%s%.*s", zeros.c_str(), d.count, d.digits);
    } else {
        n = std::snprintf(out, room, "%.*s.%.*s", d.exponent + 1, d.digits,
                          d.count - d.exponent - 1, d.digits + d.exponent + 1);
    }
    return n > 0 && static_cast<size_t>(n) < room ? out + n : first;
}

char* ScientificText(double value, int precision, char* first, char* last) {
    const ClassicLocale classic;
    const int n = std::snprintf(first, static_cast<size_t>(last - first), "%.*e", precision, value);
    return n > 0 && n < last - first ? first + n : first;
}

ParseStatus ParseDouble(const char* first, const char* last, bool hex, double* value) {
    if (hex) return ParseHex(first, last, value);
    const std::string text(first, last);  // strtod wants a terminator
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const ClassicLocale classic;
    const double v = std::strtod(start, &end);
    if (end == start) return ParseStatus::kInvalid;
    // Past the largest double, or not zero and rounded to zero: from_chars
    // keeps the value then. A subnormal result is a value like any other.
    if (errno == ERANGE) {
        const bool notZero = text.find_first_of("123456789") < text.find_first_of("eE");
        if (std::isinf(v) || (v == 0.0 && notZero)) return ParseStatus::kOutOfRange;
    }
    *value = v;
    return ParseStatus::kOk;
}

}  // namespace textio
