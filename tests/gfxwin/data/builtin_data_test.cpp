// Built-in fonts and palettes, and the LZW packer/decoder pair behind them.
#include "gfxwin/data/builtin_data.h"
#include "gfxwin/data/lzw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gfxwin/data/builtin_block_data.h"
#include "tools/sha256.h"
#include "tools/lzw_pack.h"

namespace {

using gfxwin::BuiltinFont;
using gfxwin::BuiltinPalette;
using gfxwin::kBuiltinBlockSize;
using gfxwin::LzwUnpack;
using wltools::LzwPack;
using Bytes = std::vector<uint8_t>;

Bytes FromString(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Decodes into a buffer of exactly `capacity` bytes followed by guard bytes;
// fails the test if the decoder touched a guard.
long Unpack(const Bytes& in, size_t capacity, Bytes* out = nullptr) {
    constexpr size_t kGuard = 64;
    Bytes buf(capacity + kGuard, 0xA5);
    const long got = LzwUnpack(in.data(), in.size(), buf.data(), capacity);
    for (size_t i = capacity; i < buf.size(); ++i) {
        if (buf[i] != 0xA5) {
            ADD_FAILURE() << "decoder wrote past capacity " << capacity << " at " << i;
            break;
        }
    }
    if (out != nullptr && got >= 0) out->assign(buf.begin(), buf.begin() + got);
    return got;
}

// The 12-bit codes of a stream, end code included, padding half excluded.
std::vector<unsigned> Codes(const Bytes& packed) {
    std::vector<unsigned> codes;
    for (size_t i = 0; i + 2 < packed.size(); i += 3) {
        codes.push_back(packed[i] | (packed[i + 1] & 0x0Fu) << 8);
        if (codes.back() == 4095) break;
        codes.push_back((packed[i + 1] >> 4) | unsigned{packed[i + 2]} << 4);
        if (codes.back() == 4095) break;
    }
    return codes;
}

// Packs a code list the way the stream format lays it out, padding with 0.
Bytes PackCodes(const std::vector<unsigned>& codes) {
    Bytes out;
    for (size_t i = 0; i < codes.size(); i += 2) {
        const unsigned a = codes[i];
        const unsigned b = i + 1 < codes.size() ? codes[i + 1] : 0;
        out.push_back(static_cast<uint8_t>(a & 0xFF));
        out.push_back(static_cast<uint8_t>((a >> 8) | (b & 0x0F) << 4));
        out.push_back(static_cast<uint8_t>(b >> 4));
    }
    return out;
}

Bytes RandomBytes(size_t n, unsigned seed, unsigned alphabet = 256) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out) b = static_cast<uint8_t>(rng() % alphabet);
    return out;
}

Bytes UnpackedBlock() {
    Bytes in(gfxwin::kBuiltinPacked, gfxwin::kBuiltinPacked + gfxwin::kBuiltinPackedSize);
    Bytes out;
    EXPECT_EQ(Unpack(in, kBuiltinBlockSize, &out), static_cast<long>(kBuiltinBlockSize));
    return out;
}

// ---------------------------------------------------------------------------
// The committed block

TEST(BuiltinBlock, PackedBlockUnpacksToExactlyTheBlockSize) {
    Bytes in(gfxwin::kBuiltinPacked, gfxwin::kBuiltinPacked + gfxwin::kBuiltinPackedSize);
    // Ample room: the stream itself must say where the data ends.
    EXPECT_EQ(Unpack(in, 4 * kBuiltinBlockSize), 10742);
    EXPECT_EQ(kBuiltinBlockSize, 10742u);
}

TEST(BuiltinBlock, FontsMatchKnownDigests) {
    struct Case {
        int index;
        int height;
        const char* sha256;
    };
    const Case cases[] = {
        {0, 8, "815b2b38585a26f5bb1f29c4600647d6e5d7eb20bf5bf57ac688ade5736110f2"},
        {1, 14, "c91f6a995c216035d239740cb9334f603b434f96ea2c7ba84fe5db4e10f5d52a"},
        {2, 16, "9867c89e02c7a8c06cef7e81a9fd76c0b647253c35795570b376bb1157fe0e6c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const gfxwin::FontDesc* font = BuiltinFont(c.index);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->width, 8);
        EXPECT_EQ(font->height, c.height);
        EXPECT_EQ(wltest::Sha256Hex(font->glyphs, size_t(256) * c.height), c.sha256);
    }
}

TEST(BuiltinBlock, DescriptorsPointAtTheBlockInLayoutOrder) {
    const Bytes block = UnpackedBlock();
    ASSERT_EQ(block.size(), kBuiltinBlockSize);
    size_t offset = 0;
    for (int i = 0; i < 3; ++i) {
        const gfxwin::FontDesc* font = BuiltinFont(i);
        ASSERT_NE(font, nullptr);
        const size_t size = size_t(256) * font->height;
        EXPECT_EQ(std::memcmp(font->glyphs, block.data() + offset, size), 0) << "font " << i;
        offset += size;
    }
    const int counts[] = {2, 16, 64, 256};
    for (int i = 0; i < 4; ++i) {
        const gfxwin::PaletteDesc* pal = BuiltinPalette(i);
        ASSERT_NE(pal, nullptr);
        EXPECT_EQ(pal->count, counts[i]);
        const size_t size = size_t(3) * pal->count;
        EXPECT_EQ(std::memcmp(pal->rgb, block.data() + offset, size), 0) << "palette " << i;
        offset += size;
    }
    EXPECT_EQ(offset, kBuiltinBlockSize);
}

TEST(BuiltinBlock, GlyphShapesAndBitOrder) {
    // Bit 0 is the leftmost pixel: the left half block is 0x0F on every row.
    struct Case {
        int code;
        uint8_t row;
    };
    const Case cases[] = {{0x20, 0x00}, {0xDB, 0xFF}, {0xDD, 0x0F}, {0xDE, 0xF0}};
    for (int index = 0; index < 3; ++index) {
        const gfxwin::FontDesc* font = BuiltinFont(index);
        ASSERT_NE(font, nullptr);
        for (const Case& c : cases) {
            const uint8_t* glyph = font->glyphs + c.code * font->height;
            for (int y = 0; y < font->height; ++y) {
                EXPECT_EQ(glyph[y], c.row)
                    << "font " << index << " code " << c.code << " row " << y;
            }
        }
    }
    // Upper half block in 8x16: ink on the top rows only, each row full or empty.
    const gfxwin::FontDesc* font = BuiltinFont(2);
    ASSERT_NE(font, nullptr);
    const uint8_t* upper = font->glyphs + 0xDF * 16;
    EXPECT_EQ(upper[0], 0xFF);
    EXPECT_EQ(upper[15], 0x00);
    for (int y = 1; y < 16; ++y) EXPECT_LE(upper[y], upper[y - 1]) << "row " << y;
}

// Colour (r, g, b) of entry i of the 256-colour palette, derived from the
// colour-wheel description: six legs of four steps over the levels L..H.
std::array<int, 3> Expected256(int i) {
    static const int kBase[16][3] = {
        {0, 0, 0},     {0, 0, 170},    {0, 170, 0},    {0, 170, 170},
        {170, 0, 0},   {170, 0, 170},  {170, 85, 0},   {170, 170, 170},
        {85, 85, 85},  {85, 85, 255},  {85, 255, 85},  {85, 255, 255},
        {255, 85, 85}, {255, 85, 255}, {255, 255, 85}, {255, 255, 255},
    };
    static const int kGrey[16] = {0,   20,  32,  44,  56,  68,  80,  97,
                                  113, 129, 145, 161, 182, 202, 226, 255};
    static const int kLevels[9][5] = {
        {0, 64, 125, 190, 255}, {125, 157, 190, 222, 255}, {182, 198, 218, 234, 255},
        {0, 28, 56, 85, 113},   {56, 68, 85, 97, 113},     {80, 89, 97, 105, 113},
        {0, 16, 32, 48, 64},    {32, 40, 48, 56, 64},      {44, 48, 52, 60, 64},
    };
    if (i < 16) return {kBase[i][0], kBase[i][1], kBase[i][2]};
    if (i < 32) return {kGrey[i - 16], kGrey[i - 16], kGrey[i - 16]};
    if (i >= 248) return {0, 0, 0};
    const int* lv = kLevels[(i - 32) / 24];
    const int k = (i - 32) % 24;
    const int leg = k / 4;
    const int up = k % 4;     // rising component: L, m1, m2, m3
    const int down = 4 - up;  // falling component: H, m3, m2, m1
    switch (leg) {
        case 0:
            return {lv[up], lv[0], lv[4]};  // red rises under full blue
        case 1:
            return {lv[4], lv[0], lv[down]};  // blue falls
        case 2:
            return {lv[4], lv[up], lv[0]};  // green rises
        case 3:
            return {lv[down], lv[4], lv[0]};  // red falls
        case 4:
            return {lv[0], lv[4], lv[up]};  // blue rises
        default:
            return {lv[0], lv[down], lv[4]};  // green falls
    }
}

std::array<int, 3> Expected64(int i) {
    auto bit = [i](int b) { return (i >> b) & 1; };
    return {bit(2) * 170 + bit(5) * 85, bit(1) * 170 + bit(4) * 85, bit(0) * 170 + bit(3) * 85};
}

std::array<int, 3> Entry(const gfxwin::PaletteDesc* pal, int i) {
    return {pal->rgb[3 * i], pal->rgb[3 * i + 1], pal->rgb[3 * i + 2]};
}

TEST(BuiltinBlock, PalettesFollowTheirRules) {
    const gfxwin::PaletteDesc* p2 = BuiltinPalette(0);
    const gfxwin::PaletteDesc* p16 = BuiltinPalette(1);
    const gfxwin::PaletteDesc* p64 = BuiltinPalette(2);
    const gfxwin::PaletteDesc* p256 = BuiltinPalette(3);
    ASSERT_TRUE(p2 && p16 && p64 && p256);
    EXPECT_EQ(Entry(p2, 0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(Entry(p2, 1), (std::array<int, 3>{255, 255, 255}));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Entry(p16, i), Expected256(i)) << "16-colour " << i;
    for (int i = 0; i < 64; ++i) EXPECT_EQ(Entry(p64, i), Expected64(i)) << "64-colour " << i;
    for (int i = 0; i < 256; ++i) EXPECT_EQ(Entry(p256, i), Expected256(i)) << "256-colour " << i;
}

TEST(BuiltinBlock, PaletteSpotValues) {
    // Worked out by hand from the rules, as a check on the rule code above.
    struct Case {
        int palette;
        int entry;
        std::array<int, 3> rgb;
    };
    const Case cases[] = {
        {1, 6, {170, 85, 0}},     {1, 9, {85, 85, 255}},    {2, 6, {170, 170, 0}},
        {2, 36, {255, 0, 0}},     {2, 56, {85, 85, 85}},    {2, 63, {255, 255, 255}},
        {3, 0, {0, 0, 0}},        {3, 15, {255, 255, 255}}, {3, 16, {0, 0, 0}},
        {3, 23, {97, 97, 97}},    {3, 31, {255, 255, 255}}, {3, 32, {0, 0, 255}},
        {3, 33, {64, 0, 255}},    {3, 36, {255, 0, 255}},   {3, 41, {255, 64, 0}},
        {3, 44, {255, 255, 0}},   {3, 50, {0, 255, 125}},   {3, 55, {0, 64, 255}},
        {3, 56, {125, 125, 255}}, {3, 104, {0, 0, 113}},    {3, 200, {32, 32, 64}},
        {3, 247, {44, 48, 64}},   {3, 248, {0, 0, 0}},      {3, 255, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const gfxwin::PaletteDesc* pal = BuiltinPalette(c.palette);
        ASSERT_NE(pal, nullptr);
        EXPECT_EQ(Entry(pal, c.entry), c.rgb) << "palette " << c.palette << " entry " << c.entry;
        if (c.palette == 3) {
            EXPECT_EQ(Expected256(c.entry), c.rgb) << "rule, entry " << c.entry;
        }
    }
}

TEST(BuiltinBlock, IndicesOutOfRangeGiveNull) {
    EXPECT_EQ(BuiltinFont(-1), nullptr);
    EXPECT_EQ(BuiltinFont(3), nullptr);
    EXPECT_EQ(BuiltinPalette(-1), nullptr);
    EXPECT_EQ(BuiltinPalette(4), nullptr);
}

TEST(BuiltinBlock, UnpacksOnceAndKeepsDescriptorsStable) {
    ASSERT_TRUE(gfxwin::UnpackBuiltinData());
    const gfxwin::FontDesc* font = BuiltinFont(2);
    const gfxwin::PaletteDesc* pal = BuiltinPalette(3);
    const uint8_t* glyphs = font->glyphs;
    EXPECT_TRUE(gfxwin::UnpackBuiltinData());
    EXPECT_EQ(BuiltinFont(2), font);
    EXPECT_EQ(BuiltinFont(2)->glyphs, glyphs);
    EXPECT_EQ(BuiltinPalette(3), pal);
}

TEST(BuiltinBlockDeathTest, FirstLookupUnpacksWithoutAnExplicitCall) {
    // A fresh process (threadsafe style re-executes the binary), so nothing
    // has unpacked the block before this lookup.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const gfxwin::FontDesc* font = BuiltinFont(2);
            const bool ok =
                font != nullptr && font->height == 16 && font->glyphs[0xDB * 16] == 0xFF;
            std::_Exit(ok ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
}

// ---------------------------------------------------------------------------
// Packer and decoder

struct RoundTripCase {
    const char* name;
    Bytes data;
};

std::vector<RoundTripCase> RoundTripCases() {
    Bytes allBytes(256);
    for (int i = 0; i < 256; ++i) allBytes[i] = static_cast<uint8_t>(i);
    return {
        {"empty", {}},
        {"one byte", {0x41}},
        {"two bytes", FromString("AB")},
        {"zero byte", {0x00}},
        {"KwKwK", FromString("aaaaaaa")},
        {"alternating", FromString("abababababababab")},
        {"repeated phrase", FromString("TOBEORNOTTOBEORTOBEORNOT#TOBEORNOTTOBEORTOBEORNOT")},
        {"all byte values", allBytes},
        {"long run", Bytes(100000, 0xFF)},
        {"random, fills the dictionary", RandomBytes(200000, 1)},
        {"four letters, long matches after full", RandomBytes(300000, 2, 4)},
        {"built-in block", UnpackedBlock()},
    };
}

TEST(Lzw, RoundTrip) {
    for (const RoundTripCase& c : RoundTripCases()) {
        SCOPED_TRACE(c.name);
        const Bytes packed = LzwPack(c.data);
        EXPECT_EQ(packed.size() % 3, 0u);
        Bytes out;
        EXPECT_EQ(Unpack(packed, c.data.size(), &out), static_cast<long>(c.data.size()));
        EXPECT_EQ(out, c.data);
    }
}

TEST(Lzw, PackerUsesEveryEntryUpTo4094AndNoMore) {
    for (unsigned alphabet : {256u, 4u}) {
        SCOPED_TRACE(alphabet);
        const std::vector<unsigned> codes = Codes(LzwPack(RandomBytes(200000, 3, alphabet)));
        ASSERT_FALSE(codes.empty());
        EXPECT_EQ(codes.back(), 4095u);
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 4095u), 1);
        EXPECT_EQ(*std::max_element(codes.begin(), codes.end() - 1), 4094u);
    }
}

TEST(Lzw, PackerLayout) {
    struct Case {
        const char* name;
        Bytes data;
        std::vector<unsigned> codes;
    };
    const Case cases[] = {
        {"empty", {}, {4095}},
        {"one byte", {0x41}, {0x41, 4095}},
        {"two bytes", FromString("AB"), {'A', 'B', 4095}},
        {"KwKwK", FromString("aaaaaaa"), {'a', 256, 257, 'a', 4095}},
        {"reuse", FromString("ababab"), {'a', 'b', 256, 256, 4095}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Odd code counts pad the last group with a zero half.
        EXPECT_EQ(LzwPack(c.data), PackCodes(c.codes));
    }
}

TEST(Lzw, DecodesHandBuiltStreams) {
    struct Case {
        const char* name;
        Bytes stream;
        size_t capacity;
        long result;
        std::string text;
    };
    const Case cases[] = {
        {"empty data", {0xFF, 0x0F, 0x00}, 0, 0, ""},
        {"KwKwK twice", {0x61, 0x00, 0x10, 0x01, 0xF1, 0xFF}, 16, 6, "aaaaaa"},
        {"bytes after the end group ignored", {0xFF, 0x0F, 0x00, 0x12, 0x34}, 4, 0, ""},
        {"half after the end code ignored", PackCodes({'x', 'y', 4095, 0x123}), 4, 2, "xy"},
        {"no input", {}, 16, -1, ""},
        {"end code group cut short", {0xFF, 0x0F}, 16, -1, ""},
        {"no end code", PackCodes({'a', 'b'}), 16, -1, ""},
        {"first code not a literal", PackCodes({256, 4095}), 16, -1, ""},
        {"code past the one being defined", PackCodes({'a', 258, 4095}), 16, -1, ""},
        {"code past it later on", PackCodes({'a', 'b', 'c', 259, 4095}), 16, -1, ""},
        {"capacity zero", PackCodes({'a', 4095}), 0, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out;
        EXPECT_EQ(Unpack(c.stream, c.capacity, &out), c.result);
        if (c.result >= 0) {
            EXPECT_EQ(std::string(out.begin(), out.end()), c.text);
        }
    }
}

TEST(Lzw, NullInputIsRefused) {
    uint8_t out[4];
    EXPECT_EQ(LzwUnpack(nullptr, 0, out, sizeof out), -1);
    EXPECT_EQ(LzwUnpack(nullptr, 12, out, sizeof out), -1);
}

TEST(Lzw, LastEntryIs4094AndTheDictionaryThenStops) {
    // 'a' then 3839 literals define entries 256..4094, entry 256 + i being
    // literal i followed by literal i + 1; after that nothing is added.
    std::vector<unsigned> codes;
    std::string expected;
    for (unsigned i = 0; i < 3840; ++i) {
        const unsigned literal = 'a' + i % 26;
        codes.push_back(literal);
        expected += static_cast<char>(literal);
    }
    codes.push_back(4094);  // literals 3838 and 3839
    expected += expected.substr(3838, 2);
    codes.push_back(256);  // still literals 0 and 1: a full dictionary is not replaced
    expected += expected.substr(0, 2);
    codes.push_back(4095);

    Bytes out;
    EXPECT_EQ(Unpack(PackCodes(codes), expected.size(), &out), static_cast<long>(expected.size()));
    EXPECT_EQ(std::string(out.begin(), out.end()), expected);
}

TEST(Lzw, RefusesEveryTruncation) {
    struct Case {
        const char* name;
        Bytes data;
    };
    const Case cases[] = {
        {"short phrase", FromString("TOBEORNOTTOBEORTOBEORNOT")},
        {"KwKwK", FromString("aaaaaaaaaaaa")},
        {"built-in block", UnpackedBlock()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes packed = LzwPack(c.data);
        for (size_t len = 0; len < packed.size(); ++len) {
            const Bytes cut(packed.begin(), packed.begin() + static_cast<long>(len));
            ASSERT_EQ(Unpack(cut, c.data.size()), -1) << "length " << len;
        }
    }
}

TEST(Lzw, RefusesOutputBeyondCapacity) {
    for (const RoundTripCase& c : RoundTripCases()) {
        if (c.data.empty()) continue;
        SCOPED_TRACE(c.name);
        const Bytes packed = LzwPack(c.data);
        EXPECT_EQ(Unpack(packed, c.data.size() - 1), -1);
        EXPECT_EQ(Unpack(packed, c.data.size()), static_cast<long>(c.data.size()));
    }
    // Every too-small capacity of a stream whose codes stand for long strings.
    const Bytes data(200, 'z');
    const Bytes packed = LzwPack(data);
    for (size_t cap = 0; cap < data.size(); ++cap) {
        ASSERT_EQ(Unpack(packed, cap), -1) << "capacity " << cap;
    }
}

TEST(Lzw, GarbageNeverOverrunsAndMostlyFails) {
    // Random streams: the decoder may accept some, but must stay inside both
    // buffers (Unpack checks the guard bytes; ASan checks the reads).
    int accepted = 0;
    for (unsigned seed = 0; seed < 2000; ++seed) {
        Bytes junk = RandomBytes(1 + seed % 97, seed + 100);
        const long got = Unpack(junk, 64);
        ASSERT_GE(got, -1);
        ASSERT_LE(got, 64);
        if (got >= 0) ++accepted;
    }
    EXPECT_LT(accepted, 20);

    // A valid stream with single bytes flipped: same bounds.
    const Bytes good = LzwPack(FromString("TOBEORNOTTOBEORTOBEORNOT#TOBEORNOTTOBEORTOBEORNOT"));
    for (size_t i = 0; i < good.size(); ++i) {
        for (uint8_t flip : {0x01, 0x10, 0x80, 0xFF}) {
            Bytes bad = good;
            bad[i] ^= flip;
            const long got = Unpack(bad, 60);
            ASSERT_GE(got, -1);
            ASSERT_LE(got, 60);
        }
    }
}

// Known digests, so a broken hash cannot hide behind the font checks.
TEST(Sha256Helper, KnownVectors) {
    struct Case {
        std::string input;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000, 'a'),
         "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
    };
    for (const Case& c : cases) {
        const auto* p = reinterpret_cast<const uint8_t*>(c.input.data());
        EXPECT_EQ(wltest::Sha256Hex(p, c.input.size()), c.digest) << c.input.size() << " bytes";
    }
}

}  // namespace
