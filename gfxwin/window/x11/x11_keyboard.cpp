#include "gfxwin/window/x11/x11_keyboard.h"

#include <X11/keysym.h>

#include "gfxwin/keys/key_translation.h"
#include "gfxwin/keys/virtual_keys.h"
#include "textio/cp437.h"

namespace gfxwin::x11 {

namespace {

struct EvdevExtended {
    int evdevKey;
    int scanCode;
};

// Keys that the PC keyboard reports with the extended prefix, by kernel key
// number.
constexpr EvdevExtended kEvdevExtended[] = {
    {96, 0x1C},   // keypad Enter
    {97, 0x1D},   // right Ctrl
    {98, 0x35},   // keypad slash
    {100, 0x38},  // right Alt
    {102, 0x47},  // Home
    {103, 0x48},  // Up
    {104, 0x49},  // Page Up
    {105, 0x4B},  // Left
    {106, 0x4D},  // Right
    {107, 0x4F},  // End
    {108, 0x50},  // Down
    {109, 0x51},  // Page Down
    {110, 0x52},  // Insert
    {111, 0x53},  // Delete
    {125, 0x5B},  // left Windows
    {126, 0x5C},  // right Windows
    {127, 0x5D},  // Menu
};

struct KeysymKey {
    Keysym keysym;
    int virtualKey;
};

constexpr KeysymKey kKeysymKeys[] = {
    {XK_BackSpace, vk::kBack},
    {XK_Tab, vk::kTab},
    {XK_ISO_Left_Tab, vk::kTab},
    {XK_Clear, vk::kClear},
    {XK_Return, vk::kReturn},
    {XK_Pause, vk::kPause},
    {XK_Scroll_Lock, vk::kScroll},
    {XK_Escape, vk::kEscape},
    {XK_Delete, vk::kDelete},
    {XK_Home, vk::kHome},
    {XK_Left, vk::kLeft},
    {XK_Up, vk::kUp},
    {XK_Right, vk::kRight},
    {XK_Down, vk::kDown},
    {XK_Prior, vk::kPrior},
    {XK_Next, vk::kNext},
    {XK_End, vk::kEnd},
    {XK_Print, vk::kSnapshot},
    {XK_Insert, vk::kInsert},
    {XK_Menu, vk::kApps},
    {XK_Num_Lock, vk::kNumLock},
    {XK_KP_Space, vk::kSpace},
    {XK_KP_Tab, vk::kTab},
    {XK_KP_Enter, vk::kReturn},
    {XK_KP_Home, vk::kHome},
    {XK_KP_Left, vk::kLeft},
    {XK_KP_Up, vk::kUp},
    {XK_KP_Right, vk::kRight},
    {XK_KP_Down, vk::kDown},
    {XK_KP_Prior, vk::kPrior},
    {XK_KP_Next, vk::kNext},
    {XK_KP_End, vk::kEnd},
    {XK_KP_Begin, vk::kClear},
    {XK_KP_Insert, vk::kInsert},
    {XK_KP_Delete, vk::kDelete},
    {XK_KP_Multiply, vk::kMultiply},
    {XK_KP_Add, vk::kAdd},
    {XK_KP_Separator, vk::kSeparator},
    {XK_KP_Subtract, vk::kSubtract},
    {XK_KP_Decimal, vk::kDecimal},
    {XK_KP_Divide, vk::kDivide},
    {XK_Shift_L, vk::kShift},
    {XK_Shift_R, vk::kShift},
    {XK_Control_L, vk::kControl},
    {XK_Control_R, vk::kControl},
    {XK_Caps_Lock, vk::kCapital},
    {XK_Shift_Lock, vk::kCapital},
    {XK_Meta_L, vk::kMenu},
    {XK_Meta_R, vk::kMenu},
    {XK_Alt_L, vk::kMenu},
    {XK_Alt_R, vk::kMenu},
    {XK_ISO_Level3_Shift, vk::kMenu},
    {XK_Mode_switch, vk::kMenu},
    {XK_Super_L, vk::kLeftWin},
    {XK_Super_R, vk::kRightWin},
    {XK_space, vk::kSpace},
    {XK_apostrophe, vk::kOem7},
    {XK_comma, vk::kOemComma},
    {XK_minus, vk::kOemMinus},
    {XK_period, vk::kOemPeriod},
    {XK_slash, vk::kOem2},
    {XK_semicolon, vk::kOem1},
    {XK_equal, vk::kOemPlus},
    {XK_bracketleft, vk::kOem4},
    {XK_backslash, vk::kOem5},
    {XK_bracketright, vk::kOem6},
    {XK_grave, vk::kOem3},
    {XK_less, vk::kOem102},
};

struct KeysymScan {
    Keysym keysym;
    int scanCode;
};

// Keys whose scan code carries the extended flag, for keycode sets without a
// fixed layout.
constexpr KeysymScan kExtendedKeysyms[] = {
    {XK_KP_Enter, 0x1C},
    {XK_Control_R, 0x1D},
    {XK_KP_Divide, 0x35},
    {XK_Alt_R, 0x38},
    {XK_ISO_Level3_Shift, 0x38},
    {XK_Home, 0x47},
    {XK_Up, 0x48},
    {XK_Prior, 0x49},
    {XK_Left, 0x4B},
    {XK_Right, 0x4D},
    {XK_End, 0x4F},
    {XK_Down, 0x50},
    {XK_Next, 0x51},
    {XK_Insert, 0x52},
    {XK_Delete, 0x53},
    {XK_Super_L, 0x5B},
    {XK_Super_R, 0x5C},
    {XK_Menu, 0x5D},
};

// The characters of keysyms outside the Latin-1 and Unicode ranges.
struct KeysymChar {
    Keysym keysym;
    char32_t character;
};

constexpr KeysymChar kKeysymChars[] = {
    {XK_BackSpace, 8},      {XK_Tab, 9},           {XK_ISO_Left_Tab, 9},
    {XK_KP_Tab, 9},         {XK_Return, 13},       {XK_KP_Enter, 13},
    {XK_Escape, 27},        {XK_KP_Space, U' '},   {XK_KP_Equal, U'='},
    {XK_KP_Multiply, U'*'}, {XK_KP_Add, U'+'},     {XK_KP_Separator, U','},
    {XK_KP_Subtract, U'-'}, {XK_KP_Decimal, U'.'}, {XK_KP_Divide, U'/'},
    {XK_EuroSign, 0x20AC},
};

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

ScanCode ScanCodeOfEvdevKey(int evdevKey) {
    if (evdevKey >= 1 && evdevKey <= 88) return {evdevKey, false};
    for (const EvdevExtended& e : kEvdevExtended) {
        if (e.evdevKey == evdevKey) return {e.scanCode, true};
    }
    return {};
}

ScanCode ScanCodeOfKeysym(Keysym unshifted, int virtualKey) {
    for (const KeysymScan& e : kExtendedKeysyms) {
        if (e.keysym == unshifted) return {e.scanCode, true};
    }
    if (unshifted == XK_Shift_R) return {54, false};
    if (virtualKey == 0) return {};
    return {ScanCodeOfVirtualKey(virtualKey), false};
}

int VirtualKeyOfKeysym(Keysym keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return static_cast<int>(keysym - XK_a) + 'A';
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<int>(keysym - XK_A) + 'A';
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<int>(keysym - XK_0) + '0';
    if (keysym >= XK_F1 && keysym <= XK_F24) return static_cast<int>(keysym - XK_F1) + vk::kF1;
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return static_cast<int>(keysym - XK_KP_0) + vk::kNumpad0;
    }
    for (const KeysymKey& e : kKeysymKeys) {
        if (e.keysym == keysym) return e.virtualKey;
    }
    return 0;
}

bool IsKeypadNumericKeysym(Keysym keysym) {
    return (keysym >= XK_KP_0 && keysym <= XK_KP_9) || keysym == XK_KP_Decimal ||
           keysym == XK_KP_Separator;
}

bool IsDeadKeysym(Keysym keysym) {
    return keysym >= XK_dead_grave && keysym <= 0xfe93;
}

char32_t UnicodeOfKeysym(Keysym keysym) {
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) {
        return static_cast<char32_t>(keysym);
    }
    if (keysym >= 0x01000100 && keysym <= 0x0110FFFF) {
        return static_cast<char32_t>(keysym - 0x01000000);
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return U'0' + static_cast<char32_t>(keysym - XK_KP_0);
    }
    for (const KeysymChar& e : kKeysymChars) {
        if (e.keysym == keysym) return e.character;
    }
    // The legacy character keysyms of other scripts: a character, but none
    // that this program's code page can show.
    if (keysym >= 0x100 && keysym < 0xFE00) return kReplacement;
    return 0;
}

uint8_t UnshiftedCharacter(int virtualKey, Keysym unshifted) {
    if (const uint8_t c = OwnCharacter(virtualKey)) return c;
    const char32_t u = UnicodeOfKeysym(unshifted);
    if (u >= 0x21 && u <= 0xFF && u != 0x7F) {
        if (u >= U'a' && u <= U'z') return static_cast<uint8_t>(u - 32);
        return static_cast<uint8_t>(u);
    }
    return 0;
}

KeyFacts DescribeKey(const KeyInput& in) {
    KeyFacts facts;
    Keysym typed = in.effective;
    Keysym named = in.level0;
    if (IsKeypadNumericKeysym(in.level1)) {
        // Num Lock picks the digit; Shift held gives the navigation key for
        // the moment, as on the PC keyboard (it never turns navigation into
        // digits).
        const bool numeric = in.numLock && !in.shift;
        named = numeric ? in.level1 : in.level0;
        typed = named;
    }
    facts.virtualKey = VirtualKeyOfKeysym(named);
    const ScanCode scan = in.evdev ? ScanCodeOfEvdevKey(in.keycode - 8)
                                   : ScanCodeOfKeysym(in.level0, facts.virtualKey);
    facts.scanCode = scan.code;
    facts.extended = scan.extended;
    if (facts.virtualKey == 0 && facts.scanCode != 0) {
        // A key whose symbol has no key of its own is named by its place.
        for (const KeyMapRow& row : KeyMapTable()) {
            if (row.scanCode == facts.scanCode) {
                facts.virtualKey = row.vk1;
                break;
            }
        }
    }
    facts.unshiftedChar = UnshiftedCharacter(facts.virtualKey, in.level0);
    if (TypesWithoutTheLayout(&facts, IsDeadKeysym(typed), in.ctrl, in.alt)) return facts;
    const char32_t u = UnicodeOfKeysym(typed);
    if (u == 0) return facts;
    facts.character = u <= 0xFF ? static_cast<uint8_t>(u) : 0;
    facts.hasChar = true;
    const int byte = textio::UnicodeToCp437(u);
    facts.cp437 = byte >= 0 ? static_cast<uint8_t>(byte) : static_cast<uint8_t>('?');
    return facts;
}

}  // namespace gfxwin::x11
