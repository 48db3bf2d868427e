// The C library's own readers in the "C" locale, with the program's rules for
// radix prefixes, "0x", 'D' exponents and the floating mark put around them:
// the independent reference the text-to-number and item-scanner targets
// compare with. Written from the rules, not from the code under test.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace fuzzref {

inline locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

inline uint64_t Bits(double v) {
    uint64_t b = 0;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// strtod over a zero-terminated text; 0 when nothing converts.
inline double Strtod(const std::string& text) {
    char* end = nullptr;
    const double v = strtod_l(text.c_str(), &end, CLocale());
    return end == text.c_str() ? 0.0 : v;
}

// A radix number after "&": the prefix picks radix and start, the digits run
// to the first byte that is no digit of the radix; wraps modulo 2^64.
inline uint64_t RadixValue(const std::string& afterSpaces) {
    const char second = afterSpaces.size() > 1 ? afterSpaces[1] : '\0';
    int radix = 8;
    size_t at = 1;
    if (second == 'H' || second == 'h') {
        radix = 16;
        at = 2;
    } else if (second == 'O' || second == 'o') {
        at = 2;
    } else if (second == 'B' || second == 'b') {
        radix = 2;
        at = 2;
    }
    uint64_t value = 0;
    for (; at < afterSpaces.size(); ++at) {
        const char c = afterSpaces[at];
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0 || d >= radix) break;
        value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(d);
    }
    return value;
}

inline std::string WithoutLeadingSpaces(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

// A 32-bit strtoul (base 10) built on the C library's 64-bit one: a magnitude
// above 2^32 - 1 gives 2^32 - 1, a minus sign negates modulo 2^32.
inline uint32_t Strtoul32(const std::string& text) {
    const char* p = text.c_str();
    while (*p != '\0' && std::strchr(" \t\n\v\f\r", *p) != nullptr) ++p;
    const bool negative = *p == '-';
    errno = 0;
    const unsigned long r = strtoul_l(text.c_str(), nullptr, 10, CLocale());
    if (errno == ERANGE) return 0xFFFFFFFFu;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(r) : r;
    if (magnitude > 0xFFFFFFFFu) return 0xFFFFFFFFu;
    return negative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(magnitude))
                    : static_cast<uint32_t>(magnitude);
}

// DoubleFromText of a text (read up to its first zero byte by strtod).
inline double DoubleFromTextReference(const std::string& text) {
    const std::string t = WithoutLeadingSpaces(text);
    if (t.empty()) return 0.0;
    if (t.size() >= 2 && t[0] == '&') {
        return static_cast<double>(static_cast<int64_t>(RadixValue(t)));
    }
    if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) return 0.0;
    std::string copy = t.substr(0, std::strlen(t.c_str()));
    for (char& c : copy) {
        if (c == 'D') c = 'E';
        if (c == 'd') c = 'e';
    }
    return Strtod(copy);
}

// ItemAsDouble of a zero-free item of at most 67 bytes.
inline double ItemReference(const std::string& item, bool floating) {
    if (floating) return Strtod(item);
    const std::string t = WithoutLeadingSpaces(item);
    const bool radix = t.size() >= 2 && t[0] == '&';
    if (item.size() <= 9) {
        if (t.empty()) return 0.0;
        if (radix) return static_cast<double>(static_cast<int32_t>(RadixValue(t)));
        return static_cast<double>(static_cast<int32_t>(Strtoul32(t)));
    }
    if (item.size() <= 18 || item[0] == '&') {
        if (t.empty()) return 0.0;
        if (radix) return static_cast<double>(static_cast<int64_t>(RadixValue(t)));
        return static_cast<double>(strtoll_l(t.c_str(), nullptr, 10, CLocale()));
    }
    return Strtod(item);
}

}  // namespace fuzzref
