// Tests of the text-to-number readers: fixed cases for every rule, and a
// randomized comparison of StrtodC against the C library's strtod.
#include "textio/text_to_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "textio/number_text.h"

namespace textio {
namespace {

uint64_t Bits(double v) {
    uint64_t b = 0;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

double FromBits(uint64_t b) {
    double v = 0;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

constexpr uint64_t kPlusInf = 0x7FF0000000000000u;
constexpr uint64_t kMinusInf = 0xFFF0000000000000u;
constexpr uint64_t kMinusZero = 0x8000000000000000u;

std::string Hex(uint64_t b) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(b));
    return buf;
}

// --- DoubleFromText -------------------------------------------------------

struct DoubleCase {
    std::string text;
    uint64_t bits;
};

TEST(DoubleFromText, ConvertsEachTextToTheExpectedBitPattern) {
    const DoubleCase cases[] = {
        {"3.653", 0x400D395810624DD3u},
        {"-19797743883.15425", 0xC2127026642C9DF4u},
        {"9.187329999999999", 0x40225FE9B7BF1E8Eu},
        {"9.18733", 0x40225FE9B7BF1E8Eu},
        {"", 0},
        {"   ", 0},
        {"1D3", Bits(1000.0)},
        {"1d3", Bits(1000.0)},
        {"2.5D-1", Bits(0.25)},
        {"  1D3", Bits(1000.0)},
        {"&H1F", Bits(31.0)},
        {"&h1f", Bits(31.0)},
        {"&O17", Bits(15.0)},
        {"&o17", Bits(15.0)},
        {"&17", Bits(15.0)},
        {"&B101", Bits(5.0)},
        {"&b101", Bits(5.0)},
        {"&H", 0},
        {"&H-1", 0},
        {"&HFFFFFFFFFFFFFFFF", Bits(-1.0)},
        {"&H8000000000000000", Bits(-9223372036854775808.0)},
        {"&H10000000000000001", Bits(1.0)},  // wraps past 64 bits
        {"&18", Bits(1.0)},                  // 8 is no octal digit
        {"&B102", Bits(2.0)},
        {"&X1", 0},  // "&X" is octal without prefix letter; 'X' is no digit
        {"   &H10", Bits(16.0)},
        {"&", 0},
        {"0x10", 0},
        {"0X10", 0},
        {" 0x10", 0},
        {"0x", 0},
        {"-0x10", Bits(-16.0)},
        {"+0x1.8p3", Bits(12.0)},
        {"\t&H10", 0},
        {"\t 12", Bits(12.0)},
        {"12abc", Bits(12.0)},
        {"3,653", Bits(3.0)},
        {"1e400", kPlusInf},
        {"-1e400", kMinusInf},
        {"1e-400", 0},
        {"-1e-400", kMinusZero},
        {"-0", kMinusZero},
        {"x", 0},
        {"-", 0},
        {"0", 0},
        {"7", Bits(7.0)},
        {"Infinity", kPlusInf},
        {"-inf", kMinusInf},
        {"1.5d", Bits(1.5)},  // exponent letter without digits
        {"4.9406564584124654D-324", 1},
        {std::string("12\0"
                     "34",
                     5),
         Bits(12.0)},  // a zero byte ends the text
    };
    for (const DoubleCase& c : cases) {
        EXPECT_EQ(Hex(Bits(DoubleFromText(c.text.data(), c.text.size()))), Hex(c.bits))
            << "text \"" << c.text << "\"";
    }
}

TEST(DoubleFromText, ReadsNoFurtherThanTheGivenLength) {
    // No terminator after the counted bytes: the bytes beyond n must not count.
    const char digits[] = {'1', '2', '3', '4', '5'};
    EXPECT_EQ(DoubleFromText(digits, 3), 123.0);
    EXPECT_EQ(DoubleFromText("1.5e3", 4), 1.5);
    EXPECT_EQ(DoubleFromText("&H1F", 3), 1.0);
    EXPECT_EQ(DoubleFromText("0x10", 1), 0.0);
    EXPECT_EQ(DoubleFromText("&7", 1), 0.0);  // one byte: the decimal path
    EXPECT_EQ(DoubleFromText("99", 0), 0.0);
}

TEST(DoubleFromText, LongTextsAreConvertedWholeLikeShortOnes) {
    // Longer than any stack copy: exercises the heap copy.
    std::string small = "0." + std::string(500, '0') + "1D+510";  // 1e9
    EXPECT_EQ(DoubleFromText(small.data(), small.size()), 1e9);
    std::string big = "1" + std::string(400, '0');
    EXPECT_EQ(Bits(DoubleFromText(big.data(), big.size())), kPlusInf);
    std::string padded = std::string(300, ' ') + "&HFF";
    EXPECT_EQ(DoubleFromText(padded.data(), padded.size()), 255.0);
    // 0.1 written with 800 digits past the first 1 still rounds to 0.1.
    std::string tenth = "0.1" + std::string(800, '0') + "1";
    EXPECT_EQ(Bits(DoubleFromText(tenth.data(), tenth.size())), Bits(0.1));
}

// --- RadixDigits and the integer readers ----------------------------------

struct RadixCase {
    const char* text;
    int64_t count;
    int radix;
    int64_t value;
};

TEST(RadixDigits, FollowsTheDigitRulesOfEachRadix) {
    const RadixCase cases[] = {
        {"1F", 2, 16, 31},
        {"ff", 2, 16, 255},
        {"aBcD", 4, 16, 0xABCD},
        {"1G2", 3, 16, 1},
        {"", 0, 16, 0},
        {"1F", 0, 16, 0},
        {"1F", -5, 16, 0},
        {"1F", 1, 16, 1},
        {"17", 2, 8, 15},
        {"8", 1, 8, 0},
        {"778", 3, 8, 63},
        {"101", 3, 2, 5},
        {"2", 1, 2, 0},
        {"1012", 4, 2, 5},
        {"-1", 2, 16, 0},
        {"FFFFFFFFFFFFFFFF", 16, 16, -1},
        {"7FFFFFFFFFFFFFFF", 16, 16, std::numeric_limits<int64_t>::max()},
        {"10000000000000000", 17, 16, 0},       // 2^64 wraps to 0
        {"1777777777777777777777", 22, 8, -1},  // 2^64 - 1
        {"2000000000000000000000", 22, 8, 0},   // 2^64
        {"11", 2, 2, 3},
        {"1111111111111111111111111111111111111111111111111111111111111111", 64, 2, -1},
    };
    for (const RadixCase& c : cases) {
        EXPECT_EQ(RadixDigits(c.text, c.count, c.radix), c.value)
            << "text \"" << c.text << "\" count " << c.count << " radix " << c.radix;
    }
}

struct IntCase {
    const char* text;
    int32_t i32;
    int64_t i64;
};

TEST(IntegerReaders, MatchThe32And64BitCRulesAndRadixForms) {
    const IntCase cases[] = {
        {"", 0, 0},
        {"   ", 0, 0},
        {"42", 42, 42},
        {"  42", 42, 42},
        {"\t42", 42, 42},
        {"\n\v\f\r 7", 7, 7},
        {"+42", 42, 42},
        {"-42", -42, -42},
        {"--42", 0, 0},
        {"-", 0, 0},
        {"42abc", 42, 42},
        {"0x10", 0, 0},
        {"1e5", 1, 1},
        {"2147483647", 2147483647, 2147483647},
        {"2147483648", std::numeric_limits<int32_t>::min(), 2147483648},
        {"4294967295", -1, 4294967295},
        {"4294967296", -1, 4294967296},    // 32-bit overflow clamps to all ones
        {"-4294967295", 1, -4294967295},   // negated modulo 2^32
        {"-4294967296", -1, -4294967296},  // overflow ignores the sign
        {"-2147483648", std::numeric_limits<int32_t>::min(), -2147483648},
        {"99999999999999999999", -1, std::numeric_limits<int64_t>::max()},
        {"9223372036854775807", -1, std::numeric_limits<int64_t>::max()},
        {"9223372036854775808", -1, std::numeric_limits<int64_t>::max()},
        {"-9223372036854775808", -1, std::numeric_limits<int64_t>::min()},
        {"-9223372036854775809", -1, std::numeric_limits<int64_t>::min()},
        {"&HFFFFFFF", 268435455, 268435455},
        {"&HFFFFFFFF", -1, 4294967295},
        {"&H100000001", 1, 4294967297},  // 32-bit arithmetic wraps
        {"&HFFFFFFFFFFFFFFFF", -1, -1},
        {"&h1f", 31, 31},
        {"&O17", 15, 15},
        {"&17", 15, 15},
        {"&B101", 5, 5},
        {"&H", 0, 0},
        {"&", 0, 0},
        {"  &H10", 16, 16},
        {"\t&H10", 0, 0},
    };
    for (const IntCase& c : cases) {
        const size_t n = std::strlen(c.text);
        EXPECT_EQ(Int32FromText(c.text, n), c.i32) << "text \"" << c.text << "\"";
        EXPECT_EQ(Int64FromText(c.text, n), c.i64) << "text \"" << c.text << "\"";
    }
}

TEST(IntegerReaders, StopAtTheGivenLengthAndAtAZeroByte) {
    EXPECT_EQ(Int32FromText("12345", 2), 12);
    EXPECT_EQ(Int64FromText("12345", 2), 12);
    EXPECT_EQ(Int32FromText("&H1F", 3), 1);
    EXPECT_EQ(Int64FromText("&H1F", 3), 1);
    EXPECT_EQ(Int32FromText("12\0"
                            "3",
                            4),
              12);
    EXPECT_EQ(Int64FromText("&H1\0"
                            "F",
                            5),
              1);
}

// --- ItemAsDouble ----------------------------------------------------------

struct ItemCase {
    const char* item;
    bool floating;
    uint64_t bits;
};

TEST(ItemAsDouble, PicksTheReaderByMarkLengthAndPrefix) {
    const ItemCase cases[] = {
        {"42", false, Bits(42.0)},
        {"-42", false, Bits(-42.0)},
        {"0.3127", true, 0x3FD40346DC5D6388u},
        {"&HFFFFFFF", false, Bits(268435455.0)},
        {"&HFFFFFFFF", false, Bits(4294967295.0)},
        {"1234567890123456789012", false, Bits(1.2345678901234568e21)},
        {"0x10", false, 0},
        {"0x1e", true, Bits(30.0)},
        {"", false, 0},
        {"", true, 0},
        {"4294967295", false, Bits(4294967295.0)},    // 10 characters: 64-bit reader
        {"-4294967295", false, Bits(-4294967295.0)},  // 11 characters: 64-bit reader
        {"999999999", false, Bits(999999999.0)},
        {"-99999999", false, Bits(-99999999.0)},
        {"-999999999", false, Bits(-999999999.0)},
        {"123456789012345678", false, Bits(123456789012345678.0)},
        {"9007199254740993", false, Bits(9007199254740992.0)},        // nearest double
        {"1234567890123456789", false, Bits(1234567890123456789.0)},  // 19 chars: strtod
        {"&HFFFFFFFFFFFFFFFFFFFF", false, Bits(-1.0)},                // '&' first: 64-bit
        {"&H10", true, 0},                                            // mark: strtod rules
        {"1E3", true, Bits(1000.0)},
        {"12abc", false, Bits(12.0)},
        {"3,653", false, Bits(3.0)},
        {"1e400", true, kPlusInf},
        {"0x1000000000000000", false, 0},                              // 18 characters: strtoll
        {"0x10000000000000000", false, Bits(18446744073709551616.0)},  // 19: strtod
    };
    for (const ItemCase& c : cases) {
        const int length = static_cast<int>(std::strlen(c.item));
        EXPECT_EQ(Hex(Bits(ItemAsDouble(c.item, length, c.floating))), Hex(c.bits))
            << "item \"" << c.item << "\" mark " << c.floating;
    }
}

TEST(ItemAsDouble, LongDecimalIntegersGiveTheNearestDouble) {
    // Whichever reader the length picks, an integer item rounds like strtod.
    std::mt19937_64 rng(7);
    for (int i = 0; i < 2000; ++i) {
        const int digits = 1 + static_cast<int>(rng() % 30);
        std::string item(1, static_cast<char>('1' + rng() % 9));
        for (int d = 1; d < digits; ++d) item += static_cast<char>('0' + rng() % 10);
        if (rng() % 2 && digits < 19) item.insert(item.begin(), '-');
        const double expected = std::strtod(item.c_str(), nullptr);
        EXPECT_EQ(Bits(ItemAsDouble(item.c_str(), static_cast<int>(item.size()), false)),
                  Bits(expected))
            << "item " << item;
    }
}

// --- StrtodC ----------------------------------------------------------------

TEST(StrtodC, HandlesTheFormsTheUnderlyingReaderLeavesOut) {
    const std::string huge_hex = "0x1" + std::string(400, '0') + "p-500";   // 2^1100
    const std::string tiny_hex = "0x0." + std::string(399, '0') + "1p500";  // 2^-1100
    const std::string tiny_dec = "0." + std::string(400, '0') + "1e70";     // 1e-331
    const std::string big_dec = "0." + std::string(400, '0') + "1e800";     // 1e399
    const DoubleCase cases[] = {
        {huge_hex, kPlusInf},
        {tiny_hex, 0},
        {tiny_dec, 0},
        {big_dec, kPlusInf},
        {"-0x", kMinusZero},
        {"0x.8", Bits(0.5)},
        {"0X1.8P3", Bits(12.0)},
        {"0x.p1", 0},
        {"0xg", 0},
        {"0x-1", 0},
        {"0xinf", 0},
        {"-0x1p-1075", kMinusZero},
        {"0x1.0000001p-1075", 1},
        {"0x1.fffffffffffff7p1023", 0x7FEFFFFFFFFFFFFFu},
        {"0x1.fffffffffffff8p1023", kPlusInf},
        {"-0x1P+1024", kMinusInf},
        {"2.4703282292062327e-324", 0},
        {"2.4703282292062328e-324", 1},
        {"1.7976931348623158e308", 0x7FEFFFFFFFFFFFFFu},
        {"1.7976931348623159e308", kPlusInf},
        {"1e-99999999999999999999", 0},
        {"1e99999999999999999999", kPlusInf},
        {"0e99999999999999999999", 0},
        {"\v\f\r\n\t +.5", Bits(0.5)},
        {"+-1", 0},
        {"-+1", 0},
        {"--1", 0},
        {"- 1", 0},
        {".", 0},
        {"-.", 0},
        {"1e+", Bits(1.0)},
        {"1.e5", Bits(1e5)},
        {"INFINITYx", kPlusInf},
        {"-iNf", kMinusInf},
    };
    for (const DoubleCase& c : cases) {
        EXPECT_EQ(Hex(Bits(StrtodC(c.text.c_str()))), Hex(c.bits)) << "text \"" << c.text << "\"";
    }
    EXPECT_TRUE(std::isnan(StrtodC("nan")));
    EXPECT_FALSE(std::signbit(StrtodC("NaN")));
    EXPECT_TRUE(std::isnan(StrtodC("-nan(123)")));
    EXPECT_TRUE(std::signbit(StrtodC("-nan(123)")));
}

// A second sign after 'p' leaves the exponent out, as strtod does; a NaN keeps
// the payload written in its parentheses, so a typed "-nan(0xe)" is no "-1.#IND".
TEST(StrtodC, TwoSignedHexExponentAndNanPayloadAsTheCLibraryReadsThem) {
    EXPECT_EQ(Hex(Bits(StrtodC("0x1.p+-5"))), Hex(Bits(1.0)));
    EXPECT_EQ(Hex(Bits(StrtodC("-0x1p+-5"))), Hex(Bits(-1.0)));
    EXPECT_EQ(Hex(Bits(StrtodC("0x1P+-1075"))), Hex(Bits(1.0)));
    EXPECT_EQ(Hex(Bits(StrtodC("nan(123)"))), Hex(0x7FF800000000007Bu));
    const double typed = ItemAsDouble("-nan(0xe)", 9, true);
    char text[kFloatBufferSize];
    const char* shown = FormatFloat(typed, text, sizeof text, kDoubleDigits, 0);
    ASSERT_NE(shown, nullptr);
    EXPECT_STREQ(shown, "-1.#QNAN");
}

// --- StrtodC against the C library ------------------------------------------

// Sets LC_NUMERIC for the lifetime of the guard and restores it afterwards.
class NumericLocale {
  public:
    explicit NumericLocale(const char* name) {
        const char* old = std::setlocale(LC_NUMERIC, nullptr);
        saved_ = old ? old : "C";
        ok_ = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    ~NumericLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    bool ok() const { return ok_; }

  private:
    std::string saved_;
    bool ok_ = false;
};

class TextGenerator {
  public:
    explicit TextGenerator(uint64_t seed) : rng_(seed) {}

    uint64_t Below(uint64_t n) { return rng_() % n; }
    bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }

    std::string Digits(int count, const char* alphabet, int base) {
        std::string s;
        for (int i = 0; i < count; ++i) s += alphabet[Below(static_cast<uint64_t>(base))];
        return s;
    }

    // Decimal text with many digits and an exponent that puts the value near
    // the largest doubles, the subnormal range, or anywhere in between.
    std::string Decimal() {
        const int int_digits = static_cast<int>(Below(Chance(10) ? 400 : 25));
        const int frac_digits = static_cast<int>(Below(Chance(10) ? 400 : 25));
        std::string s = Digits(int_digits, "0123456789", 10);
        if (Chance(20)) s = std::string(Below(30), '0') + s;
        if (frac_digits > 0 || Chance(20)) s += '.';
        if (Chance(30)) s += std::string(Below(30), '0');
        s += Digits(frac_digits, "0123456789", 10);
        if (s.empty() || s == ".") s = "1" + s;
        int64_t e;
        switch (Below(4)) {
            case 0:
                e = 308 - int_digits + static_cast<int64_t>(Below(5));
                break;
            case 1:
                e = -308 - int_digits - static_cast<int64_t>(Below(20));
                break;
            case 2:
                e = static_cast<int64_t>(Below(700)) - 350;
                break;
            default:
                e = static_cast<int64_t>(Below(2000000)) - 1000000;
                break;
        }
        if (Chance(85)) {
            s += Chance(50) ? 'e' : 'E';
            if (e >= 0 && Chance(30)) s += '+';
            s += std::to_string(e);
        }
        return s;
    }

    // Exact decimal of the midpoint between two neighbouring doubles, or that
    // text cut short or nudged up, so that rounding must be right to the last digit.
    std::string Halfway() {
        uint64_t bits;
        switch (Below(3)) {
            case 0:
                bits = Below(0x000FFFFFFFFFFFFFu);
                break;  // subnormal
            case 1:
                bits = 0x7FE0000000000000u + Below(0x000FFFFFFFFFFFFFu);
                break;
            default:
                bits = Below(0x7FEFFFFFFFFFFFFFu);
                break;
        }
        const double lo = FromBits(bits);
        const double hi = FromBits(bits + 1);
        const long double mid = (static_cast<long double>(lo) + static_cast<long double>(hi)) / 2;
        std::vector<char> buf(1200);
        std::snprintf(buf.data(), buf.size(), "%.1100Le", mid);
        std::string s(buf.data());
        const size_t e_pos = s.find('e');
        std::string mantissa = s.substr(0, e_pos);
        const std::string exponent = s.substr(e_pos);
        while (mantissa.size() > 2 && mantissa.back() == '0') mantissa.pop_back();
        if (Chance(30)) {
            mantissa.resize(2 + Below(mantissa.size() - 1));  // just below the midpoint
        } else if (Chance(30)) {
            mantissa += std::string(Below(20), '0') + "1";  // just above it
        }
        return mantissa + exponent;
    }

    std::string HexFloat() {
        std::string s = Chance(50) ? "0x" : "0X";
        const char* hex = Chance(50) ? "0123456789abcdef" : "0123456789ABCDEF";
        s += Digits(static_cast<int>(Below(Chance(10) ? 40 : 16)), hex, 16);
        if (Chance(60)) s += '.' + Digits(static_cast<int>(Below(20)), hex, 16);
        if (Chance(85)) {
            s += Chance(50) ? 'p' : 'P';
            int64_t e;
            switch (Below(4)) {
                case 0:
                    e = 1020 + static_cast<int64_t>(Below(10));
                    break;
                case 1:
                    e = -1020 - static_cast<int64_t>(Below(60));
                    break;
                case 2:
                    e = static_cast<int64_t>(Below(2200)) - 1100;
                    break;
                default:
                    e = static_cast<int64_t>(Below(2000000000)) - 1000000000;
                    break;
            }
            if (e >= 0 && Chance(30)) s += '+';
            s += std::to_string(e);
        }
        return s;
    }

    std::string Word() {
        static const char* const kWords[] = {"inf", "infinity", "infinit", "infin", "in",
                                             "nan", "nan()",    "nan(1)",  "nan(",  "nan(x_9Z)",
                                             "na",  "nan(a b)", "i",       "n",     "infinityx"};
        std::string w = kWords[Below(std::size(kWords))];
        for (char& c : w) {
            if (c >= 'a' && c <= 'z' && Chance(40)) c = static_cast<char>(c - 'a' + 'A');
        }
        return w;
    }

    // Short texts over the characters the grammar cares about.
    std::string Noise() {
        static const char kAlphabet[] = "0123456789.eEpPxX+-infaINFAy() \t,&dD";
        std::string s;
        const int n = static_cast<int>(Below(12));
        for (int i = 0; i < n; ++i) s += kAlphabet[Below(sizeof kAlphabet - 1)];
        return s;
    }

    std::string Decorate(std::string body) {
        static const char kSpaces[] = " \t\n\v\f\r";
        std::string s;
        if (Chance(25)) {
            const int n = 1 + static_cast<int>(Below(3));
            for (int i = 0; i < n; ++i) s += kSpaces[Below(6)];
        }
        switch (Below(6)) {
            case 0:
                s += '-';
                break;
            case 1:
                s += '+';
                break;
            case 2:
                if (Chance(10)) s += Chance(50) ? "+-" : "--";
                break;
            default:
                break;
        }
        s += body;
        if (Chance(30)) {
            static const char kTail[] = "xeE+-.,pP( )a0z";
            const int n = 1 + static_cast<int>(Below(3));
            for (int i = 0; i < n; ++i) s += kTail[Below(sizeof kTail - 1)];
        }
        return s;
    }

    std::string Next() {
        switch (Below(10)) {
            case 0:
            case 1:
            case 2:
            case 3:
                return Decorate(Decimal());
            case 4:
                return Decorate(Halfway());
            case 5:
            case 6:
                return Decorate(HexFloat());
            case 7:
                return Decorate(Word());
            default:
                return Decorate(Noise());
        }
    }

  private:
    std::mt19937_64 rng_;
};

// True when `text` asks for a NaN with a payload in parentheses; the C library
// may put bits of its own into such a NaN, so only NaN-ness and sign are compared.
bool HasNanPayload(const std::string& text) {
    return text.find('(') != std::string::npos;
}

TEST(StrtodC, AgreesWithTheCLibraryOnGeneratedTexts) {
    NumericLocale c_locale("C");
    ASSERT_TRUE(c_locale.ok());
    TextGenerator gen(20240611);
    constexpr int kTexts = 300000;
    int mismatches = 0;
    int nans = 0;
    for (int i = 0; i < kTexts && mismatches < 20; ++i) {
        const std::string text = gen.Next();
        char* end = nullptr;
        double expected = std::strtod(text.c_str(), &end);
        // Without a number the result is zero (MinGW's library gives -0 after a
        // lone minus sign).
        if (end == text.c_str()) expected = 0.0;
        const double got = StrtodC(text.c_str());
        if (std::isnan(expected)) {
            ++nans;
            const bool same = HasNanPayload(text)
                                  ? std::isnan(got) && std::signbit(got) == std::signbit(expected)
                                  : Bits(got) == Bits(expected);
            if (!same) ++mismatches;
            EXPECT_TRUE(same) << "text \"" << text << "\" got " << Hex(Bits(got));
            continue;
        }
        if (Bits(got) != Bits(expected)) ++mismatches;
        EXPECT_EQ(Hex(Bits(got)), Hex(Bits(expected))) << "text \"" << text << "\"";
    }
    EXPECT_GT(nans, 0);  // the word generator must reach the NaN forms
}

TEST(StrtodC, KeepsThePointUnderADecimalCommaLocale) {
    const char* const kCommaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8",
                                         "fr_FR.utf8"};
    const char* chosen = nullptr;
    for (const char* name : kCommaLocales) {
        NumericLocale probe(name);
        if (probe.ok() && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) GTEST_SKIP() << "no decimal-comma locale installed";

    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    ASSERT_NE(std::setlocale(LC_ALL, chosen), nullptr);
    const double point = StrtodC("3.653");
    const double comma = StrtodC("3,653");
    const double from_text = DoubleFromText("2.5D-1", 6);
    const double item = ItemAsDouble("0.3127", 6, true);
    std::setlocale(LC_ALL, saved.c_str());

    EXPECT_EQ(Hex(Bits(point)), Hex(0x400D395810624DD3u));
    EXPECT_EQ(comma, 3.0);
    EXPECT_EQ(from_text, 0.25);
    EXPECT_EQ(Hex(Bits(item)), Hex(0x3FD40346DC5D6388u));
}

}  // namespace
}  // namespace textio
