// Number text: decimal digits come from ScientificText, which rounds the exact
// binary value correctly and is identical on every platform; the notation
// around the digits (fixed or exponential, the three-digit exponent, the sign
// place) is built here. Nothing in this file allocates.
#include "textio/number_text.h"

#include <cstdint>
#include <cstring>

#include "textio/double_conversion.h"

namespace textio {

namespace {

// A double's exact decimal value never has more than 767 significant digits,
// so rounding to more digits than this only appends zeros, which the notation
// drops again. Generating at most this many keeps the scratch buffer fixed.
constexpr int kMaxGeneratedDigits = 780;
// Sign, digits, point, 'e', exponent sign and up to three exponent digits.
constexpr size_t kScratchSize = kMaxGeneratedDigits + 16;

// Bytes written for the non-finite values, in the runtime's traditional form.
constexpr char kInf[] = "1.#INF";
constexpr char kQuietNan[] = "1.#QNAN";
constexpr char kSignallingNan[] = "1.#SNAN";
constexpr char kIndefinite[] = "1.#IND";  // the default NaN of invalid arithmetic

constexpr uint64_t kSignBit = 0x8000000000000000ull;
constexpr uint64_t kExponentMask = 0x7FF0000000000000ull;
constexpr uint64_t kQuietBit = 0x0008000000000000ull;
constexpr uint64_t kPayloadMask = 0x0007FFFFFFFFFFFFull;

// Rounded decimal digits of a finite value: digits[0..count) without trailing
// zeros (at least one digit) and the decimal exponent of the first digit.
struct Decimal {
    const char* digits;
    int count;
    int exponent;
    bool negative;
};

// Writes the scientific form and splits its "[-]d[.ddd]e±dd" text.
Decimal RoundToDigits(double value, int precision, char* scratch) {
    int generated = precision < kMaxGeneratedDigits ? precision : kMaxGeneratedDigits;
    // The scratch buffer is sized for the longest possible text.
    char* end = ScientificText(value, generated - 1, scratch, scratch + kScratchSize);

    Decimal d{};
    char* p = scratch;
    d.negative = *p == '-';
    if (d.negative) ++p;

    char* e = p;
    while (*e != 'e') ++e;

    // Close the gap left by the decimal point so the digits are contiguous.
    if (e - p > 1) {
        p[1] = p[0];
        ++p;
    }
    d.digits = p;
    int count = static_cast<int>(e - p);
    while (count > 1 && p[count - 1] == '0') --count;
    d.count = count;

    bool negativeExponent = e[1] == '-';
    int exponent = 0;
    for (char* q = e + 2; q < end; ++q) exponent = exponent * 10 + (*q - '0');
    d.exponent = negativeExponent ? -exponent : exponent;
    return d;
}

// Length of the text for `d` in the notation "%.Pg" picks.
size_t TextLength(const Decimal& d, bool fixed) {
    size_t length = d.negative ? 1 : 0;
    if (fixed) {
        if (d.exponent >= 0) {
            size_t integerDigits = static_cast<size_t>(d.exponent) + 1;
            length += integerDigits;
            if (static_cast<size_t>(d.count) > integerDigits) {
                length += 1 + (static_cast<size_t>(d.count) - integerDigits);
            }
        } else {
            // "0." then the zeros between the point and the first digit.
            length += 2 + static_cast<size_t>(-d.exponent - 1) + static_cast<size_t>(d.count);
        }
    } else {
        length += 1;
        if (d.count > 1) length += 1 + static_cast<size_t>(d.count - 1);
        length += 5;  // 'e', sign and three digits: double exponents stay below 1000
    }
    return length;
}

char* WriteText(const Decimal& d, bool fixed, char* out) {
    if (d.negative) *out++ = '-';
    if (fixed) {
        if (d.exponent >= 0) {
            int integerDigits = d.exponent + 1;
            int fromDigits = d.count < integerDigits ? d.count : integerDigits;
            std::memcpy(out, d.digits, static_cast<size_t>(fromDigits));
            out += fromDigits;
            for (int i = fromDigits; i < integerDigits; ++i) *out++ = '0';
            if (d.count > integerDigits) {
                *out++ = '.';
                std::memcpy(out, d.digits + integerDigits,
                            static_cast<size_t>(d.count - integerDigits));
                out += d.count - integerDigits;
            }
        } else {
            *out++ = '0';
            *out++ = '.';
            for (int i = 1; i < -d.exponent; ++i) *out++ = '0';
            std::memcpy(out, d.digits, static_cast<size_t>(d.count));
            out += d.count;
        }
    } else {
        *out++ = d.digits[0];
        if (d.count > 1) {
            *out++ = '.';
            std::memcpy(out, d.digits + 1, static_cast<size_t>(d.count - 1));
            out += d.count - 1;
        }
        *out++ = 'e';
        int magnitude = d.exponent;
        if (magnitude < 0) {
            *out++ = '-';
            magnitude = -magnitude;
        } else {
            *out++ = '+';
        }
        *out++ = static_cast<char>('0' + magnitude / 100);
        *out++ = static_cast<char>('0' + magnitude / 10 % 10);
        *out++ = static_cast<char>('0' + magnitude % 10);
    }
    *out = '\0';
    return out;
}

// The text for an infinity or NaN, without the sign.
const char* NonFiniteText(uint64_t bits) {
    if ((bits & ~kSignBit) == kExponentMask) return kInf;
    if ((bits & kQuietBit) == 0) return kSignallingNan;
    if ((bits & kSignBit) != 0 && (bits & kPayloadMask) == 0) return kIndefinite;
    return kQuietNan;
}

// Writes digits of `value` backwards ending just before `end`; returns the start.
char* WriteDecimalBackwards(uint64_t value, char* end) {
    do {
        *--end = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return end;
}

// Shared tail of the integer formats: sign place, digits, mask suffix.
size_t FormatInteger(char sign, uint64_t magnitude, unsigned mask, char* buffer, size_t size) {
    char digits[24];
    char* end = digits + sizeof digits;
    char* start = WriteDecimalBackwards(magnitude, end);
    size_t digitCount = static_cast<size_t>(end - start);

    bool trailingBlank = (mask & kMaskTrailingBlank) != 0;
    bool lineEnd = (mask & kMaskAnyLineEnd) != 0;
    size_t length = (sign != 0 ? 1 : 0) + digitCount + (trailingBlank ? 1 : 0) + (lineEnd ? 2 : 0);
    if (buffer == nullptr || size == 0) return 0;
    if (length + 1 > size) {
        buffer[0] = '\0';
        return 0;
    }

    char* out = buffer;
    if (sign != 0) *out++ = sign;
    std::memcpy(out, start, digitCount);
    out += digitCount;
    if (trailingBlank) *out++ = ' ';
    if (lineEnd) {
        *out++ = '\r';
        *out++ = '\n';
    }
    *out = '\0';
    return length;
}

}  // namespace

char* FormatFloat(double value, char* buffer, size_t size, int digits, unsigned options) {
    if (buffer == nullptr || size == 0) return nullptr;
    // No text: the caller sees an empty buffer and a null result.
    auto fail = [buffer]() -> char* {
        buffer[0] = '\0';
        return nullptr;
    };
    if (digits < 0) return fail();

    bool addBlank = (options & kAddBlank) != 0;
    size_t offset = addBlank ? 1 : 0;
    // Texts of this length or longer are not printed at all.
    uint64_t limit = static_cast<uint64_t>(digits) + 8;
    int precision = digits == 0 ? 1 : digits;

    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);

    char* text = buffer + offset;
    size_t length;
    if ((bits & kExponentMask) == kExponentMask) {
        const char* body = NonFiniteText(bits);
        bool negative = (bits & kSignBit) != 0;
        size_t bodyLength = std::strlen(body);
        length = bodyLength + (negative ? 1 : 0);
        if (length >= limit || offset + length + 1 > size) return fail();
        char* out = text;
        if (negative) *out++ = '-';
        std::memcpy(out, body, bodyLength + 1);
    } else {
        char scratch[kScratchSize];
        Decimal d = RoundToDigits(value, precision, scratch);
        bool fixed = d.exponent >= -4 && d.exponent < precision;
        length = TextLength(d, fixed);
        if (length >= limit || offset + length + 1 > size) return fail();
        WriteText(d, fixed, text);
    }

    if (!addBlank) return text;
    if (text[0] == '-') return text;
    buffer[0] = ' ';
    return buffer;
}

size_t FormatShortest(double value, char* buffer) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if ((bits & kExponentMask) == kExponentMask) {
        const char* text = (bits & ~kSignBit & ~kExponentMask) != 0 ? "nan"
                           : (bits & kSignBit) != 0                 ? "-inf"
                                                                    : "inf";
        const size_t length = std::strlen(text);
        std::memcpy(buffer, text, length);
        return length;
    }
    // At most 24 bytes: sign, 17 digits, point, "e-308".
    return static_cast<size_t>(ShortestText(value, buffer, buffer + kShortestBufferSize) - buffer);
}

size_t FormatInt64(int64_t value, unsigned mask, char* buffer, size_t size) {
    // Negating in unsigned arithmetic keeps INT64_MIN well defined.
    uint64_t magnitude = static_cast<uint64_t>(value);
    if (value < 0) magnitude = 0 - magnitude;
    return FormatInteger(value < 0 ? '-' : ' ', magnitude, mask, buffer, size);
}

size_t FormatUInt64(uint64_t value, unsigned mask, char* buffer, size_t size) {
    return FormatInteger(0, value, mask, buffer, size);
}

}  // namespace textio
