// Number text against the C library's printf: a double with 16 significant
// digits must read as snprintf("%.16g") and a single with 7 as "%.7g", with the
// exponent widened to three digits; infinities and NaNs take the runtime's
// forms. Also any digit count from 0 to 20, where a text of digits + 8 or
// more bytes is refused, and the blank in the sign place. The shortest form
// must read back (strtod) as the same double, be no longer than the
// scientific form with the fewest digits that read back ("%.*e"), and when it
// is scientific itself, have those digits (or fewer).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "textio/number_text.h"

namespace {

// "%.Ng" of the C library, the exponent (when there is one) widened to three digits.
std::string Printf(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits == 0 ? 1 : digits, value);
    std::string s = text;
    const size_t e = s.find('e');
    if (e != std::string::npos) {
        while (s.size() - (e + 2) < 3) s.insert(e + 2, "0");
    }
    return s;
}

// The runtime's forms: infinity, the NaN of invalid arithmetic (sign set,
// quiet, no payload), other quiet NaNs, and signalling NaNs.
std::string NonFinite(uint64_t bits) {
    const bool negative = (bits >> 63) != 0;
    const uint64_t magnitude = bits & 0x7FFFFFFFFFFFFFFFu;
    std::string body;
    if (magnitude == 0x7FF0000000000000u) {
        body = "1.#INF";
    } else if ((magnitude & 0x0008000000000000u) == 0) {
        body = "1.#SNAN";
    } else if (negative && magnitude == 0x7FF8000000000000u) {
        body = "1.#IND";
    } else {
        body = "1.#QNAN";
    }
    return (negative ? "-" : "") + body;
}

void Check(double value, int digits) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool finite = (bits & 0x7FF0000000000000u) != 0x7FF0000000000000u;
    const std::string want = finite ? Printf(value, digits) : NonFinite(bits);
    const bool fits = want.size() < static_cast<size_t>(digits) + 8;
    char buffer[textio::kFloatBufferSize];
    const char* got = textio::FormatFloat(value, buffer, sizeof buffer, digits, 0);
    WL_FUZZ_CHECK((got != nullptr) == fits, "%016llx, %d digits: %s, printf %s",
                  static_cast<unsigned long long>(bits), digits, got ? got : "(refused)",
                  want.c_str());
    if (!fits) return;
    WL_FUZZ_CHECK(want == got, "%016llx, %d digits: %s, printf %s",
                  static_cast<unsigned long long>(bits), digits, got, want.c_str());
    const char* blank = textio::FormatFloat(value, buffer, sizeof buffer, digits, textio::kAddBlank);
    const std::string withBlank = want[0] == '-' ? want : " " + want;
    WL_FUZZ_CHECK(blank != nullptr && withBlank == blank, "%016llx, %d digits, sign place: %s",
                  static_cast<unsigned long long>(bits), digits, blank ? blank : "(refused)");
}

// The significant digits of a number text, without leading or trailing zeros.
std::string Digits(const std::string& text) {
    std::string digits;
    for (const char c : text.substr(0, text.find_first_of("eE"))) {
        if (c >= '0' && c <= '9' && !(digits.empty() && c == '0')) digits.push_back(c);
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    return digits.empty() ? "0" : digits;
}

void CheckShortest(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    char buffer[textio::kShortestBufferSize + 1];
    const size_t length = textio::FormatShortest(value, buffer);
    buffer[length] = '\0';
    const std::string got = buffer;
    if ((bits & 0x7FF0000000000000u) == 0x7FF0000000000000u) {
        const char* want = (bits & 0x000FFFFFFFFFFFFFu) != 0 ? "nan" : (bits >> 63) ? "-inf" : "inf";
        WL_FUZZ_CHECK(got == want, "%016llx: %s, expected %s", static_cast<unsigned long long>(bits),
                      got.c_str(), want);
        return;
    }
    const double back = std::strtod(got.c_str(), nullptr);
    WL_FUZZ_CHECK(std::memcmp(&back, &value, sizeof back) == 0, "%016llx: %s reads back otherwise",
                  static_cast<unsigned long long>(bits), got.c_str());
    char text[64];
    for (int precision = 0; precision <= 16; ++precision) {
        std::snprintf(text, sizeof text, "%.*e", precision, value);
        if (std::strtod(text, nullptr) != value) continue;
        // "%.*e" pads with zeros a form that to_chars writes without them.
        const std::string fewest = Digits(text);
        const std::string exponent = std::strchr(text, 'e');
        const size_t scientific = (value < 0 ? 1 : 0) + fewest.size() + (fewest.size() > 1) +
                                  exponent.size();
        WL_FUZZ_CHECK(got.size() <= scientific, "%016llx: %s, longer than %s",
                      static_cast<unsigned long long>(bits), got.c_str(), text);
        const std::string mine = Digits(got);
        WL_FUZZ_CHECK(got.find('e') == std::string::npos || mine.size() < fewest.size() ||
                          mine == fewest,
                      "%016llx: %s, printf %s", static_cast<unsigned long long>(bits),
                      got.c_str(), text);
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9) return 0;
    double d;
    std::memcpy(&d, data, sizeof d);
    float f;
    std::memcpy(&f, data, sizeof f);
    Check(d, textio::kDoubleDigits);
    Check(static_cast<double>(f), textio::kSingleDigits);
    Check(d, data[8] % 21);
    CheckShortest(d);
    return 0;
}
