// Code page 437 against the C library's own converter, an independent table.
#include "textio/cp437.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace {

std::string IconvToUtf8(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP437");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "<no converter>";
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    return std::string(out, sizeof out - outLeft);
}

TEST(CodePage437, UpperHalfMatchesTheSystemConverter) {
    if (IconvToUtf8(0x84) == "<no converter>") GTEST_SKIP() << "no CP437 converter";
    for (int b = 0x80; b <= 0xFF; ++b) {
        char utf8[4];
        const size_t n =
            textio::EncodeUtf8(textio::Cp437ToUnicode(static_cast<unsigned char>(b)), utf8);
        EXPECT_EQ(std::string(utf8, n), IconvToUtf8(static_cast<unsigned char>(b)))
            << "byte " << std::hex << b;
    }
}

TEST(CodePage437, ReverseMappingRoundTripsAndRejectsOthers) {
    for (int b = 0; b <= 0xFF; ++b) {
        EXPECT_EQ(textio::UnicodeToCp437(textio::Cp437ToUnicode(static_cast<unsigned char>(b))), b);
    }
    EXPECT_EQ(textio::UnicodeToCp437(U'\u00E4'), 0x84);
    EXPECT_EQ(textio::UnicodeToCp437(U'\u20AC'), -1);  // euro sign
    EXPECT_EQ(textio::UnicodeToCp437(U'\U0001F600'), -1);
}

TEST(CodePage437, ControlBytesHaveTheirPictures) {
    EXPECT_EQ(textio::Cp437Glyph(0x01), U'\u263A');  // white smiling face
    EXPECT_EQ(textio::Cp437Glyph(0x1B), U'\u2190');  // leftwards arrow
    EXPECT_EQ(textio::Cp437Glyph(0x7F), U'\u2302');  // house
    EXPECT_EQ(textio::Cp437Glyph(0x84), U'\u00E4');
    // Every picture is a printable character, so none can control a terminal.
    for (int b = 0; b < 0x20; ++b)
        EXPECT_GE(textio::Cp437Glyph(static_cast<unsigned char>(b)), U' ');
}

TEST(CodePage437, Utf8EncodingLengths) {
    char out[4];
    EXPECT_EQ(textio::EncodeUtf8(U'a', out), 1u);
    EXPECT_EQ(textio::EncodeUtf8(U'\u00E4', out), 2u);
    EXPECT_EQ(textio::EncodeUtf8(U'\u2591', out), 3u);
    EXPECT_EQ(textio::EncodeUtf8(U'\U0001F600', out), 4u);
    EXPECT_EQ(std::string(out, 4), "\xF0\x9F\x98\x80");
}

}  // namespace
