#include "textio/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

using textio::FormatFloat;
using textio::FormatInt64;
using textio::FormatUInt64;
using textio::kAddBlank;

double FromBits(uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// The text FormatFloat gives, or "<null>" when it gives none.
std::string Format(double value, int digits, unsigned options = kAddBlank, size_t size = 40) {
    std::vector<char> buffer(size + 1, 'X');
    const char* text = FormatFloat(value, buffer.data(), size, digits, options);
    return text ? std::string(text) : std::string("<null>");
}

// Independent reference: glibc's "%.Ng", which rounds the exact value, with the
// exponent widened to three digits and the blank in the sign place.
void Reference(double value, int digits, char* out, size_t size) {
    char raw[1400];
    char format[16];
    std::snprintf(format, sizeof format, "%%.%dg", digits);
    std::snprintf(raw, sizeof raw, format, value);
    char* o = out;
    if (raw[0] != '-') *o++ = ' ';
    const char* e = std::strchr(raw, 'e');
    size_t head = e ? static_cast<size_t>(e - raw) + 2 : std::strlen(raw);
    std::memcpy(o, raw, head);
    o += head;
    if (e) {
        size_t expDigits = std::strlen(e + 2);
        for (size_t i = expDigits; i < 3; ++i) *o++ = '0';
        std::memcpy(o, e + 2, expDigits);
        o += expDigits;
    }
    *o = '\0';
    ASSERT_LT(static_cast<size_t>(o - out), size);
}

// Compares a batch of values against the reference; reports the first few misses.
void ExpectMatchesReference(const std::vector<double>& values, int digits) {
    int misses = 0;
    for (double v : values) {
        char buffer[40];
        char expected[64];
        Reference(v, digits, expected, sizeof expected);
        const char* text = FormatFloat(v, buffer, sizeof buffer, digits, kAddBlank);
        if (text == nullptr || std::strcmp(text, expected) != 0) {
            if (++misses <= 10) {
                ADD_FAILURE() << "value " << std::hexfloat << v << " got '"
                              << (text ? text : "<null>") << "' want '" << expected << "'";
            }
        }
    }
    EXPECT_EQ(misses, 0) << "of " << values.size() << " values at " << digits << " digits";
}

struct FloatCase {
    double value;
    int digits;
    const char* text;
};

TEST(FormatFloatTest, PrintsWorkedExamples) {
    const FloatCase cases[] = {
        {0.3127, 16, " 0.3127"},
        {0.329, 16, " 0.329"},
        {(1 - 0.3127) - 0.329, 16, " 0.3583"},
        {486.123, 16, " 486.123"},
        {380.0, 16, " 380"},
        {-0.5, 16, "-0.5"},
        {0.0, 16, " 0"},
        {-0.0, 16, "-0"},
        {0.1 + 0.2, 16, " 0.3"},
        {(1 - 0.4) - 0.2, 16, " 0.4"},
        {1.0 / 3, 16, " 0.3333333333333333"},
        {0.2666666666666666, 16, " 0.2666666666666666"},
        {0.0001, 16, " 0.0001"},
        {0.00001, 16, " 1e-005"},
        {2e-20, 16, " 2e-020"},
        {1e-20, 16, " 9.999999999999999e-021"},
        {1e16, 16, " 1e+016"},
        {1e15, 16, " 1000000000000000"},
        {1e100, 16, " 1e+100"},
        {-2.2250738585072014e-308, 16, "-2.225073858507201e-308"},
        {4.9406564584124654e-324, 16, " 4.940656458412465e-324"},
        {12345678901234567.0, 16, " 1.234567890123457e+016"},
        {DBL_MAX, 16, " 1.797693134862316e+308"},
        {1234567890123456.0, 16, " 1234567890123456"},
        {9999999999999999.0, 16, " 1e+016"},  // rounding carries into a new power of ten
        {0.3127f, 7, " 0.3127"},
        {1.0f / 3, 7, " 0.3333333"},
        {16777216.0f, 7, " 1.677722e+007"},
        {-FLT_MAX, 7, "-3.402823e+038"},
    };
    for (const FloatCase& c : cases) {
        EXPECT_EQ(Format(c.value, c.digits), c.text) << std::hexfloat << c.value;
    }
}

TEST(FormatFloatTest, PlacesTheSignAndReturnsTheTextStart) {
    char buffer[40];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(FormatFloat(2.5, buffer, sizeof buffer, 16, kAddBlank), buffer);
    EXPECT_STREQ(buffer, " 2.5");

    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(FormatFloat(-2.5, buffer, sizeof buffer, 16, kAddBlank), buffer + 1);
    EXPECT_EQ(buffer[0], 'X');  // not part of the text, left alone
    EXPECT_STREQ(buffer + 1, "-2.5");

    // Without the option the text starts at buffer[0] and has no blank.
    EXPECT_EQ(FormatFloat(2.5, buffer, sizeof buffer, 16, 0), buffer);
    EXPECT_STREQ(buffer, "2.5");
    EXPECT_EQ(FormatFloat(-2.5, buffer, sizeof buffer, 16, 0), buffer);
    EXPECT_STREQ(buffer, "-2.5");
}

TEST(FormatFloatTest, PrintsNonFiniteValues) {
    const struct {
        uint64_t bits;
        const char* text;
    } cases[] = {
        {0x7FF0000000000000ull, " 1.#INF"},  {0xFFF0000000000000ull, "-1.#INF"},
        {0x7FF8000000000000ull, " 1.#QNAN"}, {0x7FF8000000000001ull, " 1.#QNAN"},
        {0xFFF8000000000001ull, "-1.#QNAN"}, {0xFFF8000000000000ull, "-1.#IND"},
        {0x7FF0000000000001ull, " 1.#SNAN"}, {0xFFF4000000000000ull, "-1.#SNAN"},
    };
    for (const auto& c : cases) {
        for (int digits : {16, 7}) {
            EXPECT_EQ(Format(FromBits(c.bits), digits), c.text) << std::hex << c.bits;
        }
    }
    // Invalid arithmetic on x86 makes the indefinite NaN.
    volatile double zero = 0.0;
    EXPECT_EQ(Format(zero / zero, 16), "-1.#IND");
    // The limit of digits + 8 applies to these texts too.
    EXPECT_EQ(Format(FromBits(0xFFF8000000000001ull), 0), "<null>");  // 8 bytes, limit 8
    EXPECT_EQ(Format(FromBits(0xFFF8000000000001ull), 1), "-1.#QNAN");
    EXPECT_EQ(Format(FromBits(0x7FF0000000000000ull), 0), " 1.#INF");
}

TEST(FormatFloatTest, RefusesBadDigitsAndSmallBuffersWithoutOverrun) {
    const struct {
        double value;
        int digits;
        unsigned options;
        size_t size;
        bool fits;
    } cases[] = {
        {1.0 / 3, 16, kAddBlank, 20, true},  // 19 bytes + terminator
        {1.0 / 3, 16, kAddBlank, 19, false},  {1.0 / 3, 16, 0, 19, true},
        {-1.0 / 3, 16, kAddBlank, 21, true},  // blank place + "-0.333..." + terminator
        {-1.0 / 3, 16, kAddBlank, 20, false}, {DBL_MAX, 16, kAddBlank, 24, true},
        {DBL_MAX, 16, kAddBlank, 23, false},  {0.0, 16, kAddBlank, 3, true},
        {0.0, 16, kAddBlank, 2, false},       {0.0, 16, 0, 1, false},
        {0.0, -1, kAddBlank, 40, false},      {0.0, INT_MIN, kAddBlank, 40, false},
        {0.5, INT_MAX, kAddBlank, 40, true},   // huge digit counts still give short texts
        {0.1, INT_MAX, kAddBlank, 40, false},  // 55 exact digits
        {-HUGE_VAL, 16, kAddBlank, 8, false},
    };
    for (const auto& c : cases) {
        std::vector<char> buffer(c.size + 16, 'X');
        const char* text = FormatFloat(c.value, buffer.data(), c.size, c.digits, c.options);
        EXPECT_EQ(text != nullptr, c.fits)
            << c.value << " digits " << c.digits << " size " << c.size;
        if (text == nullptr && c.size > 0) {
            EXPECT_EQ(buffer[0], '\0');
        }
        for (size_t i = c.size; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], 'X') << "wrote past size at " << i;
        }
    }
    char untouched = 'X';
    EXPECT_EQ(FormatFloat(1.0, &untouched, 0, 16, kAddBlank), nullptr);
    EXPECT_EQ(untouched, 'X');
}

TEST(FormatFloatTest, OtherDigitCountsMatchPrintfG) {
    // Exact ties (2.5, 0.125, 1.5) round to even; the others probe each notation.
    const std::vector<double> values = {0.0,
                                        -0.0,
                                        2.5,
                                        3.5,
                                        0.125,
                                        -1.5,
                                        9.5,
                                        0.95,
                                        99999.5,
                                        1e-5,
                                        1.25e-4,
                                        0.00015,
                                        123.0,
                                        1e15,
                                        1e17,
                                        1e21,
                                        1e22,
                                        1e23,
                                        5e-324,
                                        DBL_MAX,
                                        1.0 / 3,
                                        -2.0 / 3,
                                        std::numbers::pi,
                                        6.02e23,
                                        1e-20,
                                        0.1,
                                        1.0 / 7,
                                        16777216.0,
                                        999.999,
                                        0.000999999};
    for (int digits : {0, 1, 2, 3, 5, 6, 10, 15, 17, 20, 25}) {
        ExpectMatchesReference(values, digits);
    }
}

TEST(FormatFloatTest, LongDigitCountsPrintTheExactValue) {
    const double values[] = {0.1, 5e-324, DBL_MAX, -1.0 / 3, 1e300, 2.2250738585072014e-308};
    for (int digits : {40, 400, 800, 1000}) {
        for (double v : values) {
            std::vector<char> expected(1400);
            Reference(v, digits, expected.data(), expected.size());
            std::vector<char> buffer(1400);
            const char* text = FormatFloat(v, buffer.data(), buffer.size(), digits, kAddBlank);
            ASSERT_NE(text, nullptr) << v << " digits " << digits;
            EXPECT_STREQ(text, expected.data()) << "digits " << digits;
        }
    }
}

TEST(FormatFloatTest, RandomDoublesMatchExactRounding) {
    std::mt19937_64 rng(20240611);
    std::vector<double> values;
    values.reserve(1000000);
    while (values.size() < 1000000) {  // every finite bit pattern is equally likely
        double v = FromBits(rng());
        if (std::isfinite(v)) values.push_back(v);
    }
    ExpectMatchesReference(values, 16);

    values.clear();
    std::uniform_real_distribution<double> decade(-310.0, 308.2);
    for (int i = 0; i < 200000; ++i) {  // log-uniform across the whole range
        double v = std::pow(10.0, decade(rng));
        values.push_back(i % 2 ? -v : v);
    }
    ExpectMatchesReference(values, 16);
}

TEST(FormatFloatTest, NearHalfwayDoublesMatchExactRounding) {
    // Decimals with a 5 just past the 16th digit parse to doubles on either side
    // of the rounding boundary; 17-digit pre-rounding would get many wrong.
    std::mt19937_64 rng(77);
    std::vector<double> values;
    char text[48];
    for (int i = 0; i < 200000; ++i) {
        unsigned long long mantissa = 1000000000000000ull + rng() % 9000000000000000ull;
        int exponent = static_cast<int>(rng() % 600) - 310;  // 1e-294 to 1e306
        std::snprintf(text, sizeof text, "%llu5e%d", mantissa, exponent);
        values.push_back(std::strtod(text, nullptr));
    }
    ExpectMatchesReference(values, 16);
}

TEST(FormatFloatTest, RandomSinglesMatchExactRounding) {
    std::mt19937 rng(31337);
    std::vector<double> values;
    values.reserve(1000000);
    while (values.size() < 1000000) {
        uint32_t bits = static_cast<uint32_t>(rng());
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f)) values.push_back(f);
    }
    ExpectMatchesReference(values, 7);
}

struct IntCase {
    int64_t value;
    unsigned mask;
    const char* text;
};

TEST(FormatIntegerTest, SignedTextWithMaskSuffixes) {
    const IntCase cases[] = {
        {380, 0, " 380"},
        {0, 0, " 0"},
        {-1, 0, "-1"},
        {INT64_MIN, 0, "-9223372036854775808"},
        {INT64_MAX, 0, " 9223372036854775807"},
        {380, 1, " 380\r\n"},
        {380, 4, " 380\r\n"},
        {380, 16, " 380 "},
        {380, 17, " 380 \r\n"},
        {380, 20, " 380 \r\n"},
        {380, 2, " 380"},  // the zone bit is the print operation's business
        {INT64_MIN, 17, "-9223372036854775808 \r\n"},
    };
    for (const IntCase& c : cases) {
        char buffer[textio::kIntegerBufferSize];
        size_t length = FormatInt64(c.value, c.mask, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.text) << c.value << " mask " << c.mask;
        EXPECT_EQ(length, std::strlen(c.text));
    }
}

TEST(FormatIntegerTest, UnsignedTextHasNoBlank) {
    const struct {
        uint64_t value;
        unsigned mask;
        const char* text;
    } cases[] = {
        {380, 0, "380"},     {0, 0, "0"},       {UINT64_MAX, 0, "18446744073709551615"},
        {380, 1, "380\r\n"}, {380, 16, "380 "}, {UINT64_MAX, 21, "18446744073709551615 \r\n"},
    };
    for (const auto& c : cases) {
        char buffer[textio::kIntegerBufferSize];
        EXPECT_EQ(FormatUInt64(c.value, c.mask, buffer, sizeof buffer), std::strlen(c.text));
        EXPECT_STREQ(buffer, c.text);
    }
}

TEST(FormatIntegerTest, SmallBufferGivesEmptyTextWithoutOverrun) {
    // "-9223372036854775808 \r\n" is 23 bytes and needs 24 with the terminator.
    for (size_t size : {size_t{0}, size_t{1}, size_t{23}, size_t{24}}) {
        std::vector<char> buffer(size + 8, 'X');
        size_t length = FormatInt64(INT64_MIN, 17, buffer.data(), size);
        EXPECT_EQ(length, size == 24 ? 23u : 0u) << "size " << size;
        if (size > 0) {
            EXPECT_EQ(std::strlen(buffer.data()), length);
        }
        for (size_t i = size; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 'X') << i;
    }
}

}  // namespace
