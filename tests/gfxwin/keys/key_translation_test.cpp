#include "gfxwin/keys/key_translation.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "gfxwin/keys/virtual_keys.h"

namespace gfxwin {
namespace {

constexpr int32_t None = kNoKey;
constexpr int32_t Ext(int b) {
    return ExtendedKeyCode(b);
}

// Modifier sets used throughout.
constexpr KeyModifiers kPlain{};
constexpr KeyModifiers kShift{.shift = true};
constexpr KeyModifiers kLCtrl{.leftCtrl = true};
constexpr KeyModifiers kRCtrl{.rightCtrl = true};
constexpr KeyModifiers kLAlt{.leftAlt = true};
constexpr KeyModifiers kRAlt{.rightAlt = true};
constexpr KeyModifiers kAltGr{.leftCtrl = true, .rightAlt = true};

KeyModifiers WithExtended(KeyModifiers m) {
    m.extended = true;
    return m;
}

// Win32 virtual keys used in the cases below.

struct KeyCase {
    const char* name;
    uint8_t c;  // character the layout produced
    int s;      // scan code
    int v;      // virtual key
    int m;      // unshifted character
    KeyModifiers mods;
    int32_t expected;
};

const KeyCase kKeyCases[] = {
    {"F1", 0, 59, vk::kF1, 0, kPlain, 15359},
    {"ShiftF1", 0, 59, vk::kF1, 0, kShift, Ext(0x54)},
    {"CtrlF1", 0, 59, vk::kF1, 0, kLCtrl, Ext(0x5E)},
    {"AltF1", 0, 59, vk::kF1, 0, kLAlt, Ext(0x68)},
    {"LetterA", 'a', 30, 'A', 'A', kPlain, 'a'},
    {"ShiftA", 'A', 30, 'A', 'A', kShift, 'A'},
    {"AltA", 'a', 30, 'A', 'A', kLAlt, Ext(30)},
    {"AltShiftA", 'A', 30, 'A', 'A', {.shift = true, .leftAlt = true}, Ext(30)},
    {"AltAWithoutCharacter", 0, 30, 'A', 'A', kLAlt, None},
    {"CtrlA", 1, 30, 'A', 'A', kLCtrl, 1},
    {"CursorUp", 0, 72, vk::kUp, 0, WithExtended(kPlain), Ext(72)},
    {"CtrlCursorUp", 0, 72, vk::kUp, 0, WithExtended(kLCtrl), Ext(141)},
    {"Keypad8NumLockOff", 0, 72, vk::kUp, 0, kPlain, Ext(72)},
    {"Keypad8NumLockOn", '8', 72, vk::kNumpad8, '8', kPlain, '8'},
    {"CtrlKeypad8NumLockOff", 0, 72, vk::kUp, 0, kLCtrl, Ext(0x8D)},
    {"Keypad5NumLockOff", 0, 76, 0x0C, 0, kPlain, Ext(0x4C)},
    {"KeypadDotNumLockOn", '.', 83, 0x6E, '.', kPlain, '.'},
    {"AltF4IsClose", 0, 62, vk::kF4, 0, kLAlt, 27647},
    {"RightAltF4IsClose", 0, 62, vk::kF4, 0, kRAlt, kCloseCode},
    {"ShiftAlone", 0, 42, vk::kShift, 0, kShift, None},
    {"RightShiftAlone", 0, 54, vk::kShift, 0, kShift, None},
    {"LeftCtrlAlone", 0, 29, vk::kControl, 0, kLCtrl, None},
    {"RightCtrlAlone", 0, 29, vk::kControl, 0, WithExtended(kRCtrl), None},
    {"AltAlone", 0, 56, 0x12, 0, kLAlt, None},
    {"Scan91WithChar", 'x', 91, 0x5B, 0, kPlain, 'x'},
    {"Scan91NoChar", 0, 91, 0x5B, 0, kPlain, None},
    {"Scan91ExtendedNoChar", 0, 91, 0x5B, 0, WithExtended(kPlain), None},
    {"Scan255WithChar", 'q', 255, 0, 'Q', kLAlt, 'q'},
    {"KeypadEnterNoChar", 0, 0x1C, vk::kReturn, 0, WithExtended(kPlain), 13},
    {"KeypadEnterWithChar", 13, 0x1C, vk::kReturn, 13, WithExtended(kPlain), 13},
    {"ShiftKeypadSlash", 0, 0x35, vk::kDivide, 0, WithExtended(kShift), 63},
    {"CtrlKeypadSlash", 0, 0x35, vk::kDivide, 0, WithExtended(kLCtrl), Ext(0x95)},
    {"KeypadSlashWithChar", '/', 0x35, vk::kDivide, '/', WithExtended(kPlain), '/'},
    {"CtrlKeypadEnter", 0, 0x1C, vk::kReturn, 0, WithExtended(kLCtrl), 10},
    {"AltKeypadEnter", 0, 0x1C, vk::kReturn, 0, WithExtended(kLAlt), Ext(0xA6)},
    {"AltGrCharacterStays", '@', 16, 'Q', 'Q', kAltGr, '@'},
    {"AltGrOnOwnLetter", 'q', 16, 'Q', 'Q', kAltGr, Ext(16)},
    // Ctrl+2 gives no character on the usual layouts while the key keeps its
    // unshifted '2', so the Ctrl entry of that row is reached only when the
    // character matches.
    {"Ctrl2NoCharacter", 0, 3, '2', '2', kLCtrl, None},
    {"Ctrl2KeyWithoutChar", 0, 3, '2', 0, kLCtrl, Ext(3)},
    {"Ctrl2OwnCharacter", '2', 3, '2', '2', kLCtrl, Ext(3)},
    {"Ctrl1HasNoEntry", 0, 2, '1', 0, kLCtrl, None},
    {"AltBackspace", 8, 14, 0x08, 8, kLAlt, Ext(0xE0)},
    {"ShiftTab", 9, 15, 0x09, 9, kShift, Ext(0x0F)},
    {"CtrlTab", 9, 15, 0x09, 9, kLCtrl, Ext(0x94)},
    {"PlainTabIsCharacter", 9, 15, 0x09, 9, kPlain, 9},
    {"AltEsc", 27, 1, 0x1B, 27, kLAlt, Ext(0x01)},
    {"SpaceWithAlt", ' ', 57, 0x20, ' ', kLAlt, ' '},
    {"ForeignCharacterOnLetter", 0xE4, 40, 0xDE, 0xC4, kLAlt, 0xE4},
    {"HighCharacterPlain", 0x84, 26, 0xDB, 0x84, kPlain, 0x84},
    // Column precedence: alt over ctrl over shift.
    {"CtrlShiftF1UsesCtrl", 0, 59, vk::kF1, 0, {.shift = true, .leftCtrl = true}, Ext(0x5E)},
    {"CtrlAltF1UsesAlt", 0, 59, vk::kF1, 0, {.leftCtrl = true, .leftAlt = true}, Ext(0x68)},
    {"AllModsF1UsesAlt", 0, 59, vk::kF1, 0, {true, true, true, true, true, false}, Ext(0x68)},
    {"ShiftAltF11UsesAlt", 0, 87, vk::kF11, 0, {.shift = true, .rightAlt = true}, Ext(0x8B)},
    {"CtrlAltUpUsesAlt", 0, 72, vk::kUp, 0, WithExtended(kAltGr), Ext(0x98)},
    {"ShiftCtrlDeleteUsesCtrl", 0, 83, 0x2E, 0, WithExtended({.shift = true, .rightCtrl = true}),
     Ext(0x93)},
};

class TranslateKeyCases : public testing::TestWithParam<KeyCase> {};

TEST_P(TranslateKeyCases, GivesExpectedCode) {
    const KeyCase& k = GetParam();
    EXPECT_EQ(TranslateKey(k.c, k.s, k.v, k.m, k.mods), k.expected);
}

INSTANTIATE_TEST_SUITE_P(KeyTranslation, TranslateKeyCases, testing::ValuesIn(kKeyCases),
                         [](const testing::TestParamInfo<KeyCase>& info) {
                             return std::string(info.param.name);
                         });

// The extended second bytes of the ordinary keys, written per key group.
enum Col { kP, kS, kC, kA };

struct ScanRun {
    int firstScan, lastScan;
    Col col;
    int firstByte;  // the byte of firstScan; the run counts up by one per scan code
};

const ScanRun kScanRuns[] = {
    {1, 1, kA, 0x01},   {2, 11, kA, 0x78},  {3, 3, kC, 0x03},   {12, 13, kA, 0x82},
    {14, 14, kA, 0xE0}, {15, 15, kS, 0x0F}, {15, 15, kC, 0x94}, {15, 15, kA, 0x0F},
    {16, 28, kA, 16},   {30, 41, kA, 30},   {44, 53, kA, 44},   {59, 68, kP, 0x3B},
    {59, 68, kS, 0x54}, {59, 68, kC, 0x5E}, {59, 68, kA, 0x68}, {71, 73, kP, 0x47},
    {71, 71, kC, 0x77}, {72, 72, kC, 0x8D}, {73, 73, kC, 0x84}, {75, 77, kP, 0x4B},
    {75, 75, kC, 0x73}, {76, 76, kC, 0x8F}, {77, 77, kC, 0x74}, {76, 76, kA, 0x4C},
    {79, 81, kP, 0x4F}, {79, 79, kC, 0x75}, {80, 80, kC, 0x91}, {81, 81, kC, 0x76},
    {82, 83, kP, 0x52}, {82, 82, kC, 0x92}, {83, 83, kC, 0x93}, {87, 88, kP, 0x85},
    {87, 88, kS, 0x87}, {87, 88, kC, 0x89}, {87, 88, kA, 0x8B},
};

std::array<std::array<int, 4>, 89> ExpectedScanBytes() {
    std::array<std::array<int, 4>, 89> bytes{};
    for (const ScanRun& run : kScanRuns) {
        for (int s = run.firstScan; s <= run.lastScan; ++s) {
            bytes[s][run.col] = run.firstByte + (s - run.firstScan);
        }
    }
    return bytes;
}

// Each column is reached through every modifier that selects it.
const std::vector<KeyModifiers>& ModsFor(Col col) {
    static const std::array<std::vector<KeyModifiers>, 4> mods = {{
        {kPlain},
        {kShift},
        {kLCtrl, kRCtrl, {.shift = true, .leftCtrl = true}},
        {kLAlt, kRAlt, kAltGr, {.shift = true, .leftAlt = true}},
    }};
    return mods[col];
}

TEST(ScanCodeTable, KeysWithoutCharacterGiveExactlyTheListedCodes) {
    const auto bytes = ExpectedScanBytes();
    for (int s = 0; s <= 88; ++s) {
        for (Col col : {kP, kS, kC, kA}) {
            const int32_t expected = bytes[s][col] != 0 ? Ext(bytes[s][col]) : None;
            for (const KeyModifiers& mods : ModsFor(col)) {
                EXPECT_EQ(TranslateKey(0, s, 0, 0, mods), expected)
                    << "scan " << s << " column " << col;
            }
        }
    }
}

TEST(ScanCodeTable, OwnCharacterGivesListedCodeElseTheCharacter) {
    // When the character is the key's own, the modified columns give the listed
    // code; the plain column never replaces a character.
    const auto bytes = ExpectedScanBytes();
    const uint8_t own = 'k';
    for (int s = 0; s <= 88; ++s) {
        for (Col col : {kP, kS, kC, kA}) {
            const int32_t expected = (col != kP && bytes[s][col] != 0) ? Ext(bytes[s][col]) : own;
            for (const KeyModifiers& mods : ModsFor(col)) {
                EXPECT_EQ(TranslateKey(own, s, 0, own, mods), expected)
                    << "scan " << s << " column " << col;
                // Same key, other case of the letter.
                EXPECT_EQ(TranslateKey(own, s, 0, 'K', mods), expected)
                    << "scan " << s << " column " << col;
            }
        }
    }
}

TEST(ScanCodeTable, ForeignCharacterIsNeverReplaced) {
    for (int s = 0; s <= 88; ++s) {
        for (Col col : {kP, kS, kC, kA}) {
            for (const KeyModifiers& mods : ModsFor(col)) {
                EXPECT_EQ(TranslateKey('@', s, 0, 'Q', mods), '@') << "scan " << s;
                EXPECT_EQ(TranslateKey(0xB5, s, 0, '2', mods), 0xB5) << "scan " << s;
            }
        }
    }
}

// The extended-key table, one expected code per column (plain, shift, ctrl, alt).
struct ExtendedCase {
    int scan;
    std::array<int32_t, 4> codes;
};

const ExtendedCase kExtendedCases[] = {
    {0x1C, {13, 13, 10, Ext(0xA6)}},
    {0x35, {47, 63, Ext(0x95), Ext(0xA4)}},
    {0x47, {Ext(0x47), Ext(0x47), Ext(0x77), Ext(0x97)}},
    {0x48, {Ext(0x48), Ext(0x48), Ext(0x8D), Ext(0x98)}},
    {0x49, {Ext(0x49), Ext(0x49), Ext(0x84), Ext(0x99)}},
    {0x4B, {Ext(0x4B), Ext(0x4B), Ext(0x73), Ext(0x9B)}},
    {0x4D, {Ext(0x4D), Ext(0x4D), Ext(0x74), Ext(0x9D)}},
    {0x4F, {Ext(0x4F), Ext(0x4F), Ext(0x75), Ext(0x9F)}},
    {0x50, {Ext(0x50), Ext(0x50), Ext(0x91), Ext(0xA0)}},
    {0x51, {Ext(0x51), Ext(0x51), Ext(0x76), Ext(0xA1)}},
    {0x52, {Ext(0x52), Ext(0x52), Ext(0x92), Ext(0xA2)}},
    {0x53, {Ext(0x53), Ext(0x53), Ext(0x93), Ext(0xA3)}},
};

TEST(ExtendedKeyTable, EveryRowAndColumn) {
    for (const ExtendedCase& row : kExtendedCases) {
        for (Col col : {kP, kS, kC, kA}) {
            for (const KeyModifiers& mods : ModsFor(col)) {
                // The unshifted character plays no part for these keys.
                for (int m : {0, int{'Q'}}) {
                    EXPECT_EQ(TranslateKey(0, row.scan, 0, m, WithExtended(mods)), row.codes[col])
                        << "scan " << row.scan << " column " << col;
                }
            }
        }
    }
}

TEST(ExtendedKeyTable, OtherExtendedKeysWithoutCharacterGiveNone) {
    std::array<bool, 256> listed{};
    for (const ExtendedCase& row : kExtendedCases) listed[row.scan] = true;
    for (int s = 0; s < 256; ++s) {
        if (listed[s]) continue;
        for (Col col : {kP, kS, kC, kA}) {
            for (const KeyModifiers& mods : ModsFor(col)) {
                EXPECT_EQ(TranslateKey(0, s, 0, 0, WithExtended(mods)), None) << "scan " << s;
            }
        }
    }
}

TEST(ExtendedKeyTable, ExtendedKeyWithCharacterUsesScanCodeTable) {
    // A character makes an extended key an ordinary one.
    EXPECT_EQ(TranslateKey('x', 0x48, 0, 'x', WithExtended(kPlain)), 'x');
    EXPECT_EQ(TranslateKey('x', 0x48, 0, 'x', WithExtended(kLCtrl)), Ext(0x8D));
    EXPECT_EQ(TranslateKey('z', 0x5B, 0, 0, WithExtended(kLAlt)), 'z');
}

// The key map as listed per scan code, built from its groups.
std::vector<KeyMapRow> ExpectedKeyMap() {
    std::vector<KeyMapRow> rows;
    auto add = [&](int s, int vk1, int vk2 = 0) {
        rows.push_back(
            {static_cast<uint8_t>(s), static_cast<uint8_t>(vk1), static_cast<uint8_t>(vk2)});
    };
    auto addRun = [&](int s, const char* vks) {
        for (const char* p = vks; *p != 0; ++p) add(s++, *p);
    };
    add(1, 0x1B);
    addRun(2, "1234567890");
    add(12, 0xBD, 0x6D);
    add(13, 0xBB);
    add(14, 0x08);
    add(15, 0x09);
    addRun(16, "QWERTYUIOP");
    add(26, 0xDB);
    add(27, 0xDD);
    add(28, 0x0D);
    add(29, 0x11);
    addRun(30, "ASDFGHJKL");
    add(39, 0xBA);
    add(40, 0xDE);
    add(41, 0xC0);
    add(42, 0x10);
    add(43, 0xDC);
    addRun(44, "ZXCVBNM");
    add(51, 0xBC);
    add(52, 0xBE);
    add(53, 0xBF, 0x6F);
    add(54, 0x10);
    add(55, 0x6A);
    add(56, 0x12);
    add(57, 0x20);
    add(58, 0x14);
    for (int i = 0; i < 10; ++i) add(59 + i, 0x70 + i);
    add(69, 0x90);
    add(70, 0x91);
    add(71, 0x24, 0x67);
    add(72, 0x26, 0x68);
    add(73, 0x21, 0x69);
    add(75, 0x25, 0x64);
    add(77, 0x27, 0x66);
    add(78, 0x6B);
    add(79, 0x23, 0x61);
    add(80, 0x28, 0x62);
    add(81, 0x22, 0x63);
    add(82, 0x2D, 0x60);
    add(83, 0x2E, 0x6E);
    add(87, 0x7A);
    add(88, 0x7B);
    add(91, 0x5B);
    add(92, 0x5C);
    add(93, 0x5D);
    return rows;
}

TEST(KeyMap, MatchesListedRows) {
    const std::vector<KeyMapRow> expected = ExpectedKeyMap();
    const auto table = KeyMapTable();
    ASSERT_EQ(expected.size(), 86u);
    ASSERT_EQ(table.size(), 86u);
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].scanCode, expected[i].scanCode) << "row " << i;
        EXPECT_EQ(table[i].vk1, expected[i].vk1) << "row " << i;
        EXPECT_EQ(table[i].vk2, expected[i].vk2) << "row " << i;
    }
}

struct VkCase {
    int vk;
    int scan;
};

TEST(KeyMap, ScanCodeOfVirtualKey) {
    const VkCase cases[] = {
        {0, 1},     {0x1B, 1},  {0x41, 30}, {0x68, 72}, {0x26, 72}, {0x6D, 12},
        {0xBD, 12}, {0x10, 42}, {0x11, 29}, {0x12, 56}, {0x5B, 91}, {0x5D, 93},
        {0x30, 11}, {0x31, 2},  {0x6F, 53}, {0xBF, 53}, {0x60, 82}, {0x2E, 83},
        {0x6E, 83}, {0x7A, 87}, {0x7B, 88}, {0x70, 59}, {0x79, 68}, {0x0D, 28},
        {0x5A, 44}, {0xFF, 0},  {0xA0, 0},  {0x0C, 0},  {0x6C, 0},  {300, 0},
    };
    for (const VkCase& c : cases) {
        EXPECT_EQ(ScanCodeOfVirtualKey(c.vk), c.scan) << "virtual key " << c.vk;
    }
}

}  // namespace
}  // namespace gfxwin
