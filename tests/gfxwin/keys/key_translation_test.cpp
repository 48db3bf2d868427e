#include "gfxwin/keys/key_translation.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    {"KeypadSlashNoChar", 0, 0x35, vk::kDivide, 0, WithExtended(kPlain), '/'},
    {"AltKeypadSlash", 0, 0x35, vk::kDivide, 0, WithExtended(kLAlt), Ext(0xA4)},
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

// The tables are checked by their rules and by keyboard facts that stand on
// their own: PC set-1 scan codes, Windows virtual keys, and the PC BIOS
// numbering of the extended keys.

enum Col { kP, kS, kC, kA };

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

// Letter and digit keys row by row: the scan code of the first, then one up per key.
struct KeyRow {
    int firstScan;
    const char* keys;  // virtual key = the uppercase letter or the digit
};
constexpr KeyRow kLetterRows[] = {{16, "QWERTYUIOP"}, {30, "ASDFGHJKL"}, {44, "ZXCVBNM"}};
constexpr KeyRow kDigitRow{2, "1234567890"};

// The cursor block: each key also sits on the keypad, where Num Lock off gives
// the same codes. Plain and Shift give the scan code as second byte.
struct CursorKey {
    const char* name;
    int scan;
    int vk;        // the key of the cursor block
    int keypadVk;  // its keypad twin with Num Lock on
    int ctrlByte;  // second byte with Ctrl
};
constexpr CursorKey kCursorKeys[] = {
    {"Home", 71, vk::kHome, 0x67, 119},     {"Up", 72, vk::kUp, 0x68, 141},
    {"PageUp", 73, vk::kPrior, 0x69, 132},  {"Left", 75, vk::kLeft, 0x64, 115},
    {"Right", 77, vk::kRight, 0x66, 116},   {"End", 79, vk::kEnd, 0x61, 117},
    {"Down", 80, vk::kDown, 0x62, 145},     {"PageDown", 81, vk::kNext, 0x63, 118},
    {"Insert", 82, vk::kInsert, 0x60, 146}, {"Delete", 83, vk::kDelete, vk::kDecimal, 147},
};

TEST(ScanCodeTable, LettersAndDigitsGiveTheirCharacter) {
    for (const KeyRow& row : kLetterRows) {
        for (int i = 0; row.keys[i] != 0; ++i) {
            const int upper = row.keys[i];
            const int lower = upper + ('a' - 'A');
            const int s = row.firstScan + i;
            EXPECT_EQ(TranslateKey(lower, s, upper, upper, kPlain), lower) << row.keys[i];
            EXPECT_EQ(TranslateKey(upper, s, upper, upper, kShift), upper) << row.keys[i];
            for (const KeyModifiers& mods : ModsFor(kC)) {
                const int control = upper - '@';  // Ctrl+A is 1
                EXPECT_EQ(TranslateKey(control, s, upper, upper, mods), control) << row.keys[i];
            }
        }
    }
    const char* shifted = "!\"#$%&/()=";  // a German layout: another character, kept
    for (int i = 0; kDigitRow.keys[i] != 0; ++i) {
        const int digit = kDigitRow.keys[i];
        const int s = kDigitRow.firstScan + i;
        EXPECT_EQ(TranslateKey(digit, s, digit, digit, kPlain), digit) << s;
        EXPECT_EQ(TranslateKey(shifted[i], s, digit, digit, kShift), shifted[i]) << s;
    }
}

TEST(ScanCodeTable, MainKeysHaveAltCodesAndFewShiftOrCtrlCodes) {
    for (int s = 1; s <= 53; ++s) {
        // Alt: Esc and the keys from Q to the slash give the scan code itself,
        // the top row from 1 to the equals sign counts on from 120.
        int32_t alt = Ext(s);
        if (s >= 2 && s <= 13) alt = Ext(118 + s);
        if (s == 14) alt = Ext(0xE0);                   // Backspace
        if (s == 29 || s == 42 || s == 43) alt = None;  // Ctrl, left Shift, backslash
        // Shift and Ctrl: only Tab (back tab, Ctrl+Tab) and Ctrl+2 (NUL).
        const int32_t shift = s == 15 ? Ext(15) : None;
        const int32_t ctrl = s == 15 ? Ext(0x94) : s == 3 ? Ext(3) : None;
        for (const KeyModifiers& mods : ModsFor(kA)) {
            EXPECT_EQ(TranslateKey(0, s, 0, 0, mods), alt) << "Alt, scan " << s;
        }
        for (const KeyModifiers& mods : ModsFor(kC)) {
            EXPECT_EQ(TranslateKey(0, s, 0, 0, mods), ctrl) << "Ctrl, scan " << s;
        }
        EXPECT_EQ(TranslateKey(0, s, 0, 0, kShift), shift) << "Shift, scan " << s;
    }
}

TEST(ScanCodeTable, FunctionKeysFollowTheBiosNumbering) {
    for (int i = 0; i < 12; ++i) {
        const int s = i < 10 ? 59 + i : 87 + (i - 10);
        // F1..F10 run from 59 (plain), 84 (Shift), 94 (Ctrl), 104 (Alt);
        // F11 and F12 from 133, 135, 137, 139.
        const std::array<int, 4> second =
            i < 10 ? std::array<int, 4>{59 + i, 84 + i, 94 + i, 104 + i}
                   : std::array<int, 4>{133 + i - 10, 135 + i - 10, 137 + i - 10, 139 + i - 10};
        for (Col col : {kP, kS, kC, kA}) {
            for (const KeyModifiers& mods : ModsFor(col)) {
                EXPECT_EQ(TranslateKey(0, s, 0, 0, mods), Ext(second[col]))
                    << "F" << i + 1 << " column " << col;
            }
        }
    }
}

TEST(ScanCodeTable, WithoutACharacterAKeyGivesAnExtendedCodeOrNone) {
    // No entry of 255 or below ever becomes the code.
    for (int s = 0; s <= 255; ++s) {
        for (Col col : {kP, kS, kC, kA}) {
            for (const KeyModifiers& mods : ModsFor(col)) {
                const int32_t code = TranslateKey(0, s, 0, 0, mods);
                EXPECT_TRUE(code == None || (code > 255 && (code & 0xFF) == 255))
                    << "scan " << s << " column " << col << " gives " << code;
            }
        }
    }
    // Modifiers and locks, and the character keys without an extended code,
    // give none at all; so does every scan code beyond the table.
    for (int s : {0, 29, 42, 54, 56, 58, 69, 70, 84, 85, 86, 43, 55, 57, 74, 78, 89, 91, 255}) {
        for (Col col : {kP, kS, kC, kA}) {
            for (const KeyModifiers& mods : ModsFor(col)) {
                EXPECT_EQ(TranslateKey(0, s, 0, 0, mods), None) << "scan " << s;
            }
        }
    }
}

TEST(ScanCodeTable, OwnCharacterGivesTheExtendedCodeElseTheCharacter) {
    // When the character is the key's own (either case), a modified column
    // gives the code the key gives without a character; the plain column
    // never replaces a character.
    const uint8_t own = 'k';
    for (int s = 0; s <= 88; ++s) {
        for (Col col : {kP, kS, kC, kA}) {
            for (const KeyModifiers& mods : ModsFor(col)) {
                const int32_t bare = TranslateKey(0, s, 0, 0, mods);
                const int32_t expected = (col != kP && bare != None) ? bare : own;
                EXPECT_EQ(TranslateKey(own, s, 0, own, mods), expected)
                    << "scan " << s << " column " << col;
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

TEST(ExtendedKeyTable, CursorBlockAndKeypadGiveTheBiosCodes) {
    for (const CursorKey& key : kCursorKeys) {
        // The cursor block: the unshifted character plays no part.
        for (int m : {0, int{'Q'}}) {
            for (Col col : {kP, kS, kC, kA}) {
                const int second = col == kC ? key.ctrlByte : col == kA ? key.scan + 80 : key.scan;
                for (const KeyModifiers& mods : ModsFor(col)) {
                    EXPECT_EQ(TranslateKey(0, key.scan, key.vk, m, WithExtended(mods)), Ext(second))
                        << key.name << " column " << col;
                }
            }
        }
        // The keypad with Num Lock off: the same codes plain and with Ctrl.
        EXPECT_EQ(TranslateKey(0, key.scan, key.vk, 0, kPlain), Ext(key.scan)) << key.name;
        EXPECT_EQ(TranslateKey(0, key.scan, key.vk, 0, kLCtrl), Ext(key.ctrlByte)) << key.name;
    }
}

TEST(ExtendedKeyTable, OtherExtendedKeysWithoutCharacterGiveNone) {
    std::array<bool, 256> listed{};
    listed[0x1C] = true;  // keypad Enter
    listed[0x35] = true;  // keypad slash
    for (const CursorKey& key : kCursorKeys) listed[key.scan] = true;
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

TEST(KeyMap, RowsRunInScanCodeOrderAndLeadBackToTheirScanCode) {
    const auto table = KeyMapTable();
    ASSERT_EQ(table.size(), 86u);
    EXPECT_EQ(table[0].scanCode, 1);
    EXPECT_EQ(table[0].vk1, vk::kEscape);
    for (size_t i = 0; i < table.size(); ++i) {
        const KeyMapRow& row = table[i];
        if (i > 0) {
            EXPECT_GT(row.scanCode, table[i - 1].scanCode) << "row " << i;
        }
        EXPECT_NE(row.vk1, 0) << "row " << i;
        for (int v : {int{row.vk1}, int{row.vk2}}) {
            if (v == 0) continue;
            // The reverse lookup gives this row, or an earlier one naming the
            // same key (both Shift keys are the generic Shift).
            const int found = ScanCodeOfVirtualKey(v);
            EXPECT_GE(found, 1) << "virtual key " << v;
            EXPECT_LE(found, row.scanCode) << "virtual key " << v;
            const auto named = std::find_if(table.begin(), table.end(), [&](const KeyMapRow& r) {
                return r.scanCode == found && (r.vk1 == v || r.vk2 == v);
            });
            EXPECT_NE(named, table.end()) << "virtual key " << v << " gives scan " << found;
        }
    }
}

TEST(KeyMap, VirtualKeysGiveThePcScanCodes) {
    for (const KeyRow& row : {kLetterRows[0], kLetterRows[1], kLetterRows[2], kDigitRow}) {
        for (int i = 0; row.keys[i] != 0; ++i) {
            EXPECT_EQ(ScanCodeOfVirtualKey(row.keys[i]), row.firstScan + i) << row.keys[i];
        }
    }
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ScanCodeOfVirtualKey(vk::kF1 + i), 59 + i) << i;
    EXPECT_EQ(ScanCodeOfVirtualKey(vk::kF11), 87);
    EXPECT_EQ(ScanCodeOfVirtualKey(vk::kF11 + 1), 88);
    for (const CursorKey& key : kCursorKeys) {
        EXPECT_EQ(ScanCodeOfVirtualKey(key.vk), key.scan) << key.name;
        EXPECT_EQ(ScanCodeOfVirtualKey(key.keypadVk), key.scan) << key.name;
    }
    struct VkCase {
        int vk;
        int scan;
    };
    // No virtual key counts as Esc. Without a row: keypad 5 without Num Lock,
    // keypad 5 with it, the sided modifiers, and numbers beyond the virtual keys.
    // clang-format off
    const VkCase cases[] = {
        {0, 1},              {vk::kEscape, 1},     {vk::kShift, 42},     {vk::kControl, 29},
        {vk::kMenu, 56},     {vk::kSubtract, 12},  {vk::kOemMinus, 12},  {vk::kDivide, 53},
        {vk::kOem2, 53},     {vk::kReturn, 28},    {vk::kLeftWin, 91},   {vk::kApps, 93},
        {vk::kClear, 0},     {0x65, 0},            {vk::kLeftShift, 0},  {vk::kSeparator, 0},
        {0xFF, 0},           {300, 0},
    };
    // clang-format on
    for (const VkCase& c : cases) {
        EXPECT_EQ(ScanCodeOfVirtualKey(c.vk), c.scan) << "virtual key " << c.vk;
    }
}

}  // namespace
}  // namespace gfxwin
