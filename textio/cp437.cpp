#include "textio/cp437.h"

namespace textio {

namespace {

// Upper half of code page 437: Latin letters, box drawing, Greek and maths.
constexpr char16_t kUpper[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// The pictures of the control bytes 0x00..0x1F (0x00 is blank).
constexpr char16_t kControlPictures[32] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  // 00
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  // 08
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  // 10
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,  // 18
};
constexpr char16_t kDeletePicture = 0x2302;

constexpr unsigned char kReplacement = '?';

}  // namespace

char32_t Cp437Glyph(unsigned char byte) {
    if (byte < 0x20) return kControlPictures[byte];
    if (byte == 0x7F) return kDeletePicture;
    return Cp437ToUnicode(byte);
}

char32_t Cp437ToUnicode(unsigned char byte) {
    if (byte < 0x80) return byte;
    return kUpper[byte - 0x80];
}

int UnicodeToCp437(char32_t ch) {
    if (ch < 0x80) return static_cast<int>(ch);
    for (int i = 0; i < 128; ++i) {
        if (kUpper[i] == ch) return 0x80 + i;
    }
    return -1;
}

size_t Utf8ToCp437::Take(unsigned char byte, unsigned char* out) {
    size_t n = 0;
    if (need_ > 0) {
        if (byte >= low_ && byte <= high_) {
            ch_ = (ch_ << 6) | static_cast<char32_t>(byte & 0x3F);
            low_ = 0x80;
            high_ = 0xBF;
            if (--need_ == 0) {
                const int mapped = UnicodeToCp437(ch_);
                if (mapped < 0) Replaced(Problem::kNotCp437);
                out[n++] = mapped >= 0 ? static_cast<unsigned char>(mapped) : kReplacement;
            }
            return n;
        }
        // The character broke off: it counts as one "?", and the byte starts anew.
        need_ = 0;
        low_ = 0x80;
        high_ = 0xBF;
        Replaced(Problem::kNotUtf8);
        out[n++] = kReplacement;
    }
    if (byte < 0x80) {
        out[n++] = byte;
    } else if (byte >= 0xC2 && byte <= 0xDF) {
        need_ = 1;
        ch_ = byte & 0x1F;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        need_ = 2;
        ch_ = byte & 0x0F;
        if (byte == 0xE0) low_ = 0xA0;   // no overlong forms
        if (byte == 0xED) high_ = 0x9F;  // no surrogates
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        need_ = 3;
        ch_ = byte & 0x07;
        if (byte == 0xF0) low_ = 0x90;   // no overlong forms
        if (byte == 0xF4) high_ = 0x8F;  // nothing past U+10FFFF
    } else {
        Replaced(Problem::kNotUtf8);
        out[n++] = kReplacement;  // a byte that starts no character
    }
    return n;
}

size_t Utf8ToCp437::Convert(const unsigned char* in, size_t length, unsigned char* out) {
    size_t n = 0;
    for (size_t i = 0; i < length; ++i) n += Take(in[i], out + n);
    return n;
}

size_t Utf8ToCp437::Finish(unsigned char* out) {
    if (need_ == 0) return 0;
    need_ = 0;
    low_ = 0x80;
    high_ = 0xBF;
    Replaced(Problem::kNotUtf8);
    out[0] = kReplacement;
    return 1;
}

size_t ControlPicture(unsigned char byte, bool utf8, char* out) {
    const char32_t glyph = Cp437Glyph(byte);
    if (utf8) return EncodeUtf8(glyph, out);
    out[0] = glyph < 0x80 ? static_cast<char>(glyph) : '?';
    return 1;
}

size_t EncodeUtf8(char32_t ch, char* out) {
    if (ch < 0x80) {
        out[0] = static_cast<char>(ch);
        return 1;
    }
    if (ch < 0x800) {
        out[0] = static_cast<char>(0xC0 | (ch >> 6));
        out[1] = static_cast<char>(0x80 | (ch & 0x3F));
        return 2;
    }
    if (ch < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (ch >> 12));
        out[1] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (ch & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (ch >> 18));
    out[1] = static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (ch & 0x3F));
    return 4;
}

}  // namespace textio
