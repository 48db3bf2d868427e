// Text to number: stored table items and typed items become doubles.
//
// The decimal reader never consults the process locale: it is built on
// ParseDouble (from_chars' rules), which always uses "." as the decimal
// point, and adds what those rules leave out of the C strtod grammar (leading
// white space, a "+" sign, the "0x" prefix of hexadecimal floats, and the
// values strtod gives for overflow and underflow).
#include "textio/text_to_number.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "textio/double_conversion.h"

namespace textio {
namespace {

// White space as the C locale's isspace sees it.
bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDecDigit(char c) {
    return c >= '0' && c <= '9';
}

// Value of a hexadecimal digit, or -1.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Value of `c` as a digit of `radix` (2, 8 or 16), or -1 when it is none.
int DigitOf(char c, int radix) {
    int d = HexValue(c);
    return d < radix ? d : -1;
}

// Adds a digit count to an exponent estimate without letting it run away.
// Only the sign of the final estimate matters, so a generous cap is enough.
constexpr int64_t kExponentCap = int64_t{1} << 40;

int64_t Capped(int64_t v) {
    if (v > kExponentCap) return kExponentCap;
    if (v < -kExponentCap) return -kExponentCap;
    return v;
}

// Reads an optionally signed decimal exponent at [p, end); saturates.
int64_t ReadExponent(const char* p, const char* end) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    int64_t e = 0;
    for (; p < end && IsDecDigit(*p); ++p) {
        if (e < kExponentCap) e = e * 10 + (*p - '0');
    }
    return negative ? -e : e;
}

// ParseDouble reports kOutOfRange both when the value is too large for a
// double and when it rounds to zero, and then leaves the result untouched.
// A number is only out of range far from 1, so a rough estimate of the
// position of its leading digit is enough to tell the two cases apart:
// returns true for overflow. [p, end) is the text ParseDouble accepted.
bool OutOfRangeIsOverflow(const char* p, const char* end, bool hex) {
    const int base = hex ? 16 : 10;
    const char exponent_mark = hex ? 'p' : 'e';
    int64_t int_digits = 0;     // digits before the point, from the first non-zero
    int64_t leading_zeros = 0;  // zeros after the point before the first non-zero
    bool seen_nonzero = false;
    for (; p < end && DigitOf(*p, base) >= 0; ++p) {
        if (*p != '0') seen_nonzero = true;
        if (seen_nonzero && int_digits < kExponentCap) ++int_digits;
    }
    if (p < end && *p == '.') {
        ++p;
        for (; p < end && DigitOf(*p, base) >= 0; ++p) {
            if (*p != '0') seen_nonzero = true;
            if (!seen_nonzero && leading_zeros < kExponentCap) ++leading_zeros;
        }
    }
    int64_t exponent = 0;
    if (p < end && (*p == exponent_mark || *p == exponent_mark - ('a' - 'A'))) {
        exponent = ReadExponent(p + 1, end);
    }
    // Leading digit position in units of the base (decimal) or of 2 (hex).
    int64_t lead = int_digits > 0 ? int_digits : -leading_zeros;
    if (hex) lead *= 4;
    return Capped(lead) + exponent > 0;
}

// End of the digits of `base` (10 or 16) starting at p.
const char* SkipDigits(const char* p, const char* end, int base) {
    while (p < end && (base == 16 ? HexValue(*p) >= 0 : IsDecDigit(*p))) ++p;
    return p;
}

// End of the longest number of the C grammar at p: digits of `base` with an
// optional point (at least one digit in all), then an exponent ('e' for
// decimal, 'p' for hexadecimal, an optional sign and decimal digits) only when
// it is complete. Returns p when there is no digit.
const char* NumberExtent(const char* p, const char* end, int base) {
    const char* q = SkipDigits(p, end, base);
    bool digits = q != p;
    if (q < end && *q == '.') {
        const char* f = SkipDigits(q + 1, end, base);
        digits = digits || f != q + 1;
        q = f;
    }
    if (!digits) return p;
    const char mark = base == 16 ? 'p' : 'e';
    if (q < end && (*q == mark || *q == mark - ('a' - 'A'))) {
        const char* e = q + 1;
        if (e < end && (*e == '+' || *e == '-')) ++e;
        const char* d = SkipDigits(e, end, 10);
        if (d != e) q = d;  // an exponent without digits is not part of the number
    }
    return q;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when [p, end) starts with `word` in any letter case.
bool StartsWithWord(const char* p, const char* end, const char* word) {
    for (; *word != '\0'; ++p, ++word) {
        if (p >= end || LowerAscii(*p) != *word) return false;
    }
    return true;
}

// The payload that "nan(seq)" carries: seq read as an unsigned integer in the
// manner of strtoull with base 0 (decimal, "0x" hexadecimal, leading "0"
// octal; too large saturates), provided that reading takes all of seq.
// Returns false when seq is no such number.
bool NanPayload(const char* p, const char* end, uint64_t* payload) {
    int base = 10;
    if (end - p >= 3 && p[0] == '0' && LowerAscii(p[1]) == 'x' && HexValue(p[2]) >= 0) {
        base = 16;
        p += 2;
    } else if (p < end && *p == '0') {
        base = 8;
    }
    uint64_t value = 0;
    bool saturated = false;
    for (; p < end; ++p) {
        const int d = HexValue(*p);
        if (d < 0 || d >= base) return false;
        const auto ud = static_cast<uint64_t>(d);
        if (value > (std::numeric_limits<uint64_t>::max() - ud) / static_cast<uint64_t>(base)) {
            saturated = true;
        } else {
            value = value * static_cast<uint64_t>(base) + ud;
        }
    }
    *payload = saturated ? std::numeric_limits<uint64_t>::max() : value;
    return true;
}

// The words for infinity and NaN at p (after the sign). A NaN written as
// "nan(seq)", where seq holds only letters, digits and '_', keeps the number
// seq names in its low 51 bits, below the quiet bit. False when no word starts at p.
bool ReadWord(const char* p, const char* end, double* value) {
    if (StartsWithWord(p, end, "inf")) {
        *value = std::numeric_limits<double>::infinity();
        return true;
    }
    if (!StartsWithWord(p, end, "nan")) return false;
    uint64_t bits = 0x7FF8000000000000u;
    const char* seq = p + 3;
    if (seq < end && *seq == '(') {
        const char* q = seq + 1;
        while (q < end &&
               (IsDecDigit(*q) || (LowerAscii(*q) >= 'a' && LowerAscii(*q) <= 'z') || *q == '_')) {
            ++q;
        }
        uint64_t payload = 0;
        if (q < end && *q == ')' && NanPayload(seq + 1, q, &payload)) {
            bits |= payload & 0x0007FFFFFFFFFFFFu;
        }
    }
    std::memcpy(value, &bits, sizeof bits);
    return true;
}

// strtod of the C locale over [p, end); the text ends at `end` whatever follows.
double ParseC(const char* p, const char* end) {
    while (p < end && IsCSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    double value = 0.0;
    if (ReadWord(p, end, &value)) return negative ? -value : value;

    bool hex = false;
    if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        // The hexadecimal form needs a digit after "0x" (possibly after the
        // point); otherwise strtod reads just the "0".
        const char* q = p + 2;
        if (NumberExtent(q, end, 16) == q) return negative ? -0.0 : 0.0;
        hex = true;
        p = q;
    }
    // ParseDouble gets exactly the number the C grammar allows, so its own
    // reading of signs and exponents cannot differ from strtod's.
    const char* last = NumberExtent(p, end, hex ? 16 : 10);
    if (last == p) return 0.0;  // nothing convertible
    const ParseStatus status = ParseDouble(p, last, hex, &value);
    if (status == ParseStatus::kInvalid) return 0.0;
    if (status == ParseStatus::kOutOfRange) {
        value = OutOfRangeIsOverflow(p, last, hex) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

// The radix digit loop in wrapping arithmetic of the unsigned type U.
template <typename U>
U RadixLoop(const char* text, int64_t count, int radix) {
    if (count <= 0 || (radix != 2 && radix != 8 && radix != 16)) return 0;
    U value = 0;
    for (int64_t i = 0; i < count; ++i) {
        const int d = DigitOf(text[i], radix);
        if (d < 0) break;
        value = static_cast<U>(value * static_cast<U>(radix) + static_cast<U>(d));
    }
    return value;
}

// Radix and prefix length of a text that starts with '&' and has at least two
// bytes: "&H", "&O", "&B" (either case) or a bare "&" meaning octal.
void RadixPrefix(char after_ampersand, int* radix, size_t* prefix) {
    switch (after_ampersand) {
        case 'H':
        case 'h':
            *radix = 16;
            *prefix = 2;
            return;
        case 'O':
        case 'o':
            *radix = 8;
            *prefix = 2;
            return;
        case 'B':
        case 'b':
            *radix = 2;
            *prefix = 2;
            return;
        default:
            *radix = 8;
            *prefix = 1;
            return;
    }
}

// Length of `text` up to its first zero byte, but never more than n.
size_t BoundedLength(const char* text, size_t n) {
    const void* zero = std::memchr(text, 0, n);
    return zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : n;
}

// Skips leading spaces (only byte 32); returns the rest's start and length.
const char* SkipSpaces(const char* text, size_t n, size_t* left) {
    size_t i = 0;
    while (i < n && text[i] == ' ') ++i;
    *left = n - i;
    return text + i;
}

// Sign and decimal magnitude of a text in the manner of the C integer
// readers: white space, one optional sign, digits. The magnitude saturates at
// `limit + 1` so that any overflow stays visible to the caller.
struct DecimalInteger {
    bool negative = false;
    uint64_t magnitude = 0;
};

DecimalInteger ReadDecimalInteger(const char* p, const char* end, uint64_t limit) {
    DecimalInteger out;
    while (p < end && IsCSpace(*p)) ++p;
    if (p < end && (*p == '+' || *p == '-')) {
        out.negative = *p == '-';
        ++p;
    }
    for (; p < end && IsDecDigit(*p); ++p) {
        const uint64_t d = static_cast<uint64_t>(*p - '0');
        if (out.magnitude > (limit - d) / 10) {
            out.magnitude = limit + 1;  // overflow; the remaining digits change nothing
            break;
        }
        out.magnitude = out.magnitude * 10 + d;
    }
    return out;
}

// strtoul base 10 with a 32-bit unsigned long: overflow gives 0xFFFFFFFF
// whatever the sign, otherwise a minus sign negates modulo 2^32.
uint32_t StrtoulBase10Of32(const char* p, const char* end) {
    const uint64_t limit = 0xFFFFFFFFu;
    const DecimalInteger d = ReadDecimalInteger(p, end, limit);
    if (d.magnitude > limit) return 0xFFFFFFFFu;
    const uint32_t m = static_cast<uint32_t>(d.magnitude);
    return d.negative ? static_cast<uint32_t>(0u - m) : m;
}

// strtoll base 10: overflow clamps to INT64_MAX or INT64_MIN by the sign.
int64_t StrtollBase10(const char* p, const char* end) {
    const uint64_t max_positive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    const uint64_t limit = max_positive + 1;  // the magnitude of INT64_MIN
    const DecimalInteger d = ReadDecimalInteger(p, end, limit);
    if (d.negative) {
        if (d.magnitude >= limit) return std::numeric_limits<int64_t>::min();
        return -static_cast<int64_t>(d.magnitude);
    }
    if (d.magnitude > max_positive) return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(d.magnitude);
}

// Texts up to this length are copied on the stack; longer ones on the heap.
constexpr size_t kStackCopy = 128;

}  // namespace

const char* ReadDecimal(const char* first, const char* last, double* value, ParseStatus* status) {
    const bool negative = first < last && *first == '-';
    const char* p = negative ? first + 1 : first;
    const char* end = NumberExtent(p, last, 10);
    if (end == p) {
        *status = ParseStatus::kInvalid;
        return first;
    }
    double magnitude = 0.0;
    *status = ParseDouble(p, end, false, &magnitude);
    if (*status == ParseStatus::kOk) *value = negative ? -magnitude : magnitude;
    return end;
}

double StrtodC(const char* text) {
    return ParseC(text, text + std::strlen(text));
}

int64_t RadixDigits(const char* text, int64_t count, int radix) {
    return static_cast<int64_t>(RadixLoop<uint64_t>(text, count, radix));
}

double DoubleFromText(const char* bytes, size_t n) {
    size_t m = 0;
    const char* p = SkipSpaces(bytes, n, &m);
    if (m < 1) return 0.0;
    if (m >= 2 && p[0] == '&') {
        int radix = 8;
        size_t prefix = 1;
        RadixPrefix(p[1], &radix, &prefix);
        return static_cast<double>(
            RadixDigits(p + prefix, static_cast<int64_t>(m - prefix), radix));
    }
    if (m >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return 0.0;

    // The C reader knows no 'D' exponent, so it gets a copy with 'D' and 'd'
    // turned into 'E' and 'e'. A zero byte ends the text, as it would for a
    // zero-terminated copy.
    const size_t len = BoundedLength(p, m);
    if (len == 0) return 0.0;
    char stack_copy[kStackCopy];
    char* copy = stack_copy;
    if (len > kStackCopy) {
        copy = static_cast<char*>(std::malloc(len));
        if (copy == nullptr) return 0.0;
    }
    for (size_t i = 0; i < len; ++i) {
        const char c = p[i];
        copy[i] = c == 'D' ? 'E' : c == 'd' ? 'e' : c;
    }
    const double value = ParseC(copy, copy + len);
    if (copy != stack_copy) std::free(copy);
    return value;
}

int32_t Int32FromText(const char* text, size_t n) {
    size_t m = 0;
    const char* p = SkipSpaces(text, BoundedLength(text, n), &m);
    if (m < 1) return 0;
    if (m == 1 || p[0] != '&') {
        return static_cast<int32_t>(StrtoulBase10Of32(p, p + m));
    }
    int radix = 8;
    size_t prefix = 1;
    RadixPrefix(p[1], &radix, &prefix);
    return static_cast<int32_t>(
        RadixLoop<uint32_t>(p + prefix, static_cast<int64_t>(m - prefix), radix));
}

int64_t Int64FromText(const char* text, size_t n) {
    size_t m = 0;
    const char* p = SkipSpaces(text, BoundedLength(text, n), &m);
    if (m < 1) return 0;
    if (m == 1 || p[0] != '&') return StrtollBase10(p, p + m);
    int radix = 8;
    size_t prefix = 1;
    RadixPrefix(p[1], &radix, &prefix);
    return RadixDigits(p + prefix, static_cast<int64_t>(m - prefix), radix);
}

double ItemAsDouble(const char* item, int length, bool floating) {
    if (floating) return StrtodC(item);
    const size_t n = length > 0 ? static_cast<size_t>(length) : 0;
    if (length <= 9) return static_cast<double>(Int32FromText(item, n));
    if (length <= 18 || item[0] == '&') return static_cast<double>(Int64FromText(item, n));
    return StrtodC(item);
}

}  // namespace textio
