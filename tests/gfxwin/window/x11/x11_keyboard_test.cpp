// What X11 key events mean: evdev keycodes to PC scan codes, keysyms to
// virtual keys and characters, Num Lock on the keypad. No server needed.
#include "gfxwin/window/x11/x11_keyboard.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>

#include "gfxwin/keys/key_translation.h"

namespace gfxwin::x11 {
namespace {

struct EvdevCase {
    int evdevKey;  // kernel key number = X keycode - 8
    int scanCode;
    bool extended;
};

class EvdevScanCodeTest : public ::testing::TestWithParam<EvdevCase> {};

TEST_P(EvdevScanCodeTest, MapsToThePcScanCode) {
    const ScanCode s = ScanCodeOfEvdevKey(GetParam().evdevKey);
    EXPECT_EQ(s.code, GetParam().scanCode);
    EXPECT_EQ(s.extended, GetParam().extended);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EvdevScanCodeTest,
    ::testing::Values(
        // Scan codes 1..88 are the key numbers themselves.
        EvdevCase{1, 1, false}, EvdevCase{30, 30, false}, EvdevCase{59, 59, false},
        EvdevCase{71, 71, false}, EvdevCase{72, 72, false}, EvdevCase{88, 88, false},
        // The extended keys.
        EvdevCase{96, 0x1C, true}, EvdevCase{97, 0x1D, true}, EvdevCase{98, 0x35, true},
        EvdevCase{100, 0x38, true}, EvdevCase{102, 0x47, true}, EvdevCase{103, 0x48, true},
        EvdevCase{104, 0x49, true}, EvdevCase{105, 0x4B, true}, EvdevCase{106, 0x4D, true},
        EvdevCase{107, 0x4F, true}, EvdevCase{108, 0x50, true}, EvdevCase{109, 0x51, true},
        EvdevCase{110, 0x52, true}, EvdevCase{111, 0x53, true}, EvdevCase{125, 0x5B, true},
        EvdevCase{126, 0x5C, true}, EvdevCase{127, 0x5D, true},
        // Keys without a scan code.
        EvdevCase{0, 0, false}, EvdevCase{89, 0, false}, EvdevCase{99, 0, false},
        EvdevCase{101, 0, false}, EvdevCase{200, 0, false}));

struct KeysymCase {
    const char* name;
    Keysym keysym;
    int virtualKey;
    int scanCode;  // for keycode sets other than evdev
    bool extended;
};

class KeysymTest : public ::testing::TestWithParam<KeysymCase> {};

TEST_P(KeysymTest, GivesVirtualKeyAndScanCode) {
    const KeysymCase& c = GetParam();
    EXPECT_EQ(VirtualKeyOfKeysym(c.keysym), c.virtualKey);
    const ScanCode s = ScanCodeOfKeysym(c.keysym, c.virtualKey);
    EXPECT_EQ(s.code, c.scanCode);
    EXPECT_EQ(s.extended, c.extended);
}

INSTANTIATE_TEST_SUITE_P(
    Keysyms, KeysymTest,
    ::testing::Values(
        KeysymCase{"SmallA", XK_a, 'A', 30, false}, KeysymCase{"CapitalZ", XK_Z, 'Z', 44, false},
        KeysymCase{"Digit1", XK_1, '1', 2, false}, KeysymCase{"Digit0", XK_0, '0', 11, false},
        KeysymCase{"F1", XK_F1, 0x70, 59, false}, KeysymCase{"F12", XK_F12, 0x7B, 88, false},
        KeysymCase{"Escape", XK_Escape, 0x1B, 1, false},
        KeysymCase{"Return", XK_Return, 0x0D, 28, false},
        KeysymCase{"KeypadEnter", XK_KP_Enter, 0x0D, 0x1C, true},
        KeysymCase{"KeypadDivide", XK_KP_Divide, 0x6F, 0x35, true},
        KeysymCase{"Left", XK_Left, 0x25, 0x4B, true},
        KeysymCase{"Delete", XK_Delete, 0x2E, 0x53, true},
        KeysymCase{"KeypadLeft", XK_KP_Left, 0x25, 75, false},
        KeysymCase{"Keypad4", XK_KP_4, 0x64, 75, false},
        KeysymCase{"KeypadDecimal", XK_KP_Decimal, 0x6E, 83, false},
        KeysymCase{"LeftShift", XK_Shift_L, 0x10, 42, false},
        KeysymCase{"RightShift", XK_Shift_R, 0x10, 54, false},
        KeysymCase{"RightCtrl", XK_Control_R, 0x11, 0x1D, true},
        KeysymCase{"AltGr", XK_ISO_Level3_Shift, 0x12, 0x38, true},
        KeysymCase{"Minus", XK_minus, 0xBD, 12, false},
        KeysymCase{"Apostrophe", XK_apostrophe, 0xDE, 40, false},
        KeysymCase{"Menu", XK_Menu, 0x5D, 0x5D, true},
        KeysymCase{"AUmlautHasNoKeyOfItsOwn", XK_adiaeresis, 0, 0, false}),
    [](const ::testing::TestParamInfo<KeysymCase>& info) { return std::string(info.param.name); });

TEST(KeysymCharacterTest, UnicodeOfKeysyms) {
    EXPECT_EQ(UnicodeOfKeysym(XK_a), U'a');
    EXPECT_EQ(UnicodeOfKeysym(XK_adiaeresis), U'\u00E4');
    EXPECT_EQ(UnicodeOfKeysym(XK_ssharp), U'\u00DF');
    EXPECT_EQ(UnicodeOfKeysym(0x100263A), U'\u263A');  // a Unicode keysym
    EXPECT_EQ(UnicodeOfKeysym(XK_EuroSign), U'\u20AC');
    EXPECT_EQ(UnicodeOfKeysym(XK_KP_7), U'7');
    EXPECT_EQ(UnicodeOfKeysym(XK_Return), 13u);
    EXPECT_EQ(UnicodeOfKeysym(XK_BackSpace), 8u);
    EXPECT_EQ(UnicodeOfKeysym(XK_Delete), 0u);
    EXPECT_EQ(UnicodeOfKeysym(XK_Left), 0u);
    EXPECT_EQ(UnicodeOfKeysym(XK_F1), 0u);
    EXPECT_EQ(UnicodeOfKeysym(XK_Shift_L), 0u);
    EXPECT_TRUE(IsDeadKeysym(XK_dead_acute));
    EXPECT_FALSE(IsDeadKeysym(XK_acute));
}

TEST(KeysymCharacterTest, UnshiftedCharactersAsTheKeyOwnCharacter) {
    EXPECT_EQ(UnshiftedCharacter('A', XK_a), 'A');
    EXPECT_EQ(UnshiftedCharacter('7', XK_7), '7');
    EXPECT_EQ(UnshiftedCharacter(0x68, XK_KP_Up), '8');  // keypad 8
    EXPECT_EQ(UnshiftedCharacter(0x26, XK_KP_Up), 0);    // Up
    EXPECT_EQ(UnshiftedCharacter(0x0D, XK_Return), 13);
    EXPECT_EQ(UnshiftedCharacter(0xBD, XK_minus), '-');
    EXPECT_EQ(UnshiftedCharacter(0xDE, XK_adiaeresis), 0xE4);
    EXPECT_EQ(UnshiftedCharacter(0x70, XK_F1), 0);
}

// Whole key events on the evdev keycode set (X keycode = kernel number + 8).
struct EventCase {
    const char* name;
    KeyInput input;
    int scanCode;
    bool extended;
    int virtualKey;
    int character;
    bool hasChar;
    int cp437;
};

KeyInput Evdev(int keycode, Keysym l0, Keysym l1, Keysym effective) {
    return {.keycode = keycode, .evdev = true, .level0 = l0, .level1 = l1, .effective = effective};
}

KeyInput With(KeyInput in, bool shift, bool ctrl, bool alt, bool numLock) {
    in.shift = shift;
    in.ctrl = ctrl;
    in.alt = alt;
    in.numLock = numLock;
    return in;
}

class DescribeKeyTest : public ::testing::TestWithParam<EventCase> {};

TEST_P(DescribeKeyTest, FillsEveryFact) {
    const EventCase& c = GetParam();
    const KeyFacts f = DescribeKey(c.input);
    EXPECT_EQ(f.scanCode, c.scanCode);
    EXPECT_EQ(f.extended, c.extended);
    EXPECT_EQ(f.virtualKey, c.virtualKey);
    EXPECT_EQ(f.character, c.character);
    EXPECT_EQ(f.hasChar, c.hasChar);
    if (c.hasChar) {
        EXPECT_EQ(f.cp437, c.cp437);
    }
}

const KeyInput kKeypad8 = Evdev(80, XK_KP_Up, XK_KP_8, XK_KP_Up);

INSTANTIATE_TEST_SUITE_P(
    Events, DescribeKeyTest,
    ::testing::Values(
        EventCase{"LetterA", Evdev(38, XK_a, XK_A, XK_a), 30, false, 'A', 'a', true, 'a'},
        EventCase{"ShiftA", With(Evdev(38, XK_a, XK_A, XK_A), true, false, false, false), 30, false,
                  'A', 'A', true, 'A'},
        EventCase{"CtrlA", With(Evdev(38, XK_a, XK_A, XK_a), false, true, false, false), 30, false,
                  'A', 1, true, 1},
        EventCase{"AltAKeepsItsCharacter",
                  With(Evdev(38, XK_a, XK_A, XK_a), false, false, true, false), 30, false, 'A', 'a',
                  true, 'a'},
        EventCase{"F1", Evdev(67, XK_F1, XK_F1, XK_F1), 59, false, 0x70, 0, false, 0},
        EventCase{"CursorLeft", Evdev(113, XK_Left, XK_Left, XK_Left), 0x4B, true, 0x25, 0, false,
                  0},
        EventCase{"Delete", Evdev(119, XK_Delete, XK_Delete, XK_Delete), 0x53, true, 0x2E, 0, false,
                  0},
        EventCase{"Keypad8NumLockOff", kKeypad8, 72, false, 0x26, 0, false, 0},
        EventCase{"Keypad8NumLockOn", With(kKeypad8, false, false, false, true), 72, false, 0x68,
                  '8', true, '8'},
        EventCase{"Keypad8NumLockOnWithShift", With(kKeypad8, true, false, false, true), 72, false,
                  0x26, 0, false, 0},
        EventCase{"Keypad8NumLockOffWithShift", With(kKeypad8, true, false, false, false), 72,
                  false, 0x26, 0, false, 0},
        EventCase{"KeypadEnter", Evdev(104, XK_KP_Enter, XK_KP_Enter, XK_KP_Enter), 0x1C, true,
                  0x0D, 13, true, 13},
        EventCase{"AUmlautOnAFreeKeycode", Evdev(200, XK_adiaeresis, XK_Adiaeresis, XK_adiaeresis),
                  0, false, 0, 0xE4, true, 0x84},
        EventCase{"AUmlautOnTheApostropheKey",
                  Evdev(48, XK_adiaeresis, XK_Adiaeresis, XK_adiaeresis), 40, false, 0xDE, 0xE4,
                  true, 0x84},
        EventCase{"EuroBecomesQuestionMark", Evdev(26, XK_e, XK_E, XK_EuroSign), 18, false, 'E', 0,
                  true, '?'},
        EventCase{"DeadKeyTypesNothing", Evdev(21, XK_dead_acute, XK_dead_grave, XK_dead_acute), 13,
                  false, 0xBB, 0, false, 0},
        EventCase{"AltGrCharacterStays",
                  With(Evdev(24, XK_q, XK_Q, XK_at), false, true, true, false), 16, false, 'Q', '@',
                  true, '@'}),
    [](const ::testing::TestParamInfo<EventCase>& info) { return std::string(info.param.name); });

TEST(DescribeKeyTest, OtherKeycodeSetsFindTheScanCodeFromTheKeysym) {
    KeyInput in;
    in.keycode = 12;  // not evdev: the keycode means nothing by itself
    in.level0 = XK_Up;
    in.level1 = XK_Up;
    in.effective = XK_Up;
    const KeyFacts f = DescribeKey(in);
    EXPECT_EQ(f.scanCode, 0x48);
    EXPECT_TRUE(f.extended);
    EXPECT_EQ(f.virtualKey, 0x26);
}

// The facts feed the key translation: end to end for a few keys.
TEST(DescribeKeyTest, FactsTranslateToTheKeyCodes) {
    auto code = [](const KeyInput& in, KeyModifiers mods) {
        const KeyFacts f = DescribeKey(in);
        mods.extended = f.extended;
        return TranslateKey(f.character, f.scanCode, f.virtualKey, f.unshiftedChar, mods);
    };
    EXPECT_EQ(code(Evdev(67, XK_F1, XK_F1, XK_F1), {}), ExtendedKeyCode(59));
    EXPECT_EQ(code(Evdev(113, XK_Left, XK_Left, XK_Left), {}), ExtendedKeyCode(75));
    EXPECT_EQ(code(kKeypad8, {}), ExtendedKeyCode(72));
    EXPECT_EQ(code(With(kKeypad8, false, false, false, true), {}), '8');
    EXPECT_EQ(code(With(Evdev(38, XK_a, XK_A, XK_a), false, false, true, false),
                   KeyModifiers{.leftAlt = true}),
              ExtendedKeyCode(30));
    EXPECT_EQ(code(Evdev(70, XK_F4, XK_F4, XK_F4), KeyModifiers{.leftAlt = true}), kCloseCode);
}

}  // namespace
}  // namespace gfxwin::x11
