#include "gfxwin/host/x11/x11_keyboard.h"

#include <X11/keysym.h>

#include "gfxwin/key_translation.h"
#include "textio/cp437.h"

namespace gfxwin::x11 {

namespace {

// Win32 virtual keys named below.
enum : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_OEM_1 = 0xBA,
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF,
    VK_OEM_3 = 0xC0,
    VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD,
    VK_OEM_7 = 0xDE,
    VK_OEM_102 = 0xE2,
};

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
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Clear, VK_CLEAR},
    {XK_Return, VK_RETURN},
    {XK_Pause, VK_PAUSE},
    {XK_Scroll_Lock, VK_SCROLL},
    {XK_Escape, VK_ESCAPE},
    {XK_Delete, VK_DELETE},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Print, VK_SNAPSHOT},
    {XK_Insert, VK_INSERT},
    {XK_Menu, VK_APPS},
    {XK_Num_Lock, VK_NUMLOCK},
    {XK_KP_Space, VK_SPACE},
    {XK_KP_Tab, VK_TAB},
    {XK_KP_Enter, VK_RETURN},
    {XK_KP_Home, VK_HOME},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_End, VK_END},
    {XK_KP_Begin, VK_CLEAR},
    {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, VK_SEPARATOR},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Shift_Lock, VK_CAPITAL},
    {XK_Meta_L, VK_MENU},
    {XK_Meta_R, VK_MENU},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_ISO_Level3_Shift, VK_MENU},
    {XK_Mode_switch, VK_MENU},
    {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},
    {XK_space, VK_SPACE},
    {XK_apostrophe, VK_OEM_7},
    {XK_comma, VK_OEM_COMMA},
    {XK_minus, VK_OEM_MINUS},
    {XK_period, VK_OEM_PERIOD},
    {XK_slash, VK_OEM_2},
    {XK_semicolon, VK_OEM_1},
    {XK_equal, VK_OEM_PLUS},
    {XK_bracketleft, VK_OEM_4},
    {XK_backslash, VK_OEM_5},
    {XK_bracketright, VK_OEM_6},
    {XK_grave, VK_OEM_3},
    {XK_less, VK_OEM_102},
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
    if (keysym >= XK_F1 && keysym <= XK_F24) return static_cast<int>(keysym - XK_F1) + VK_F1;
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return static_cast<int>(keysym - XK_KP_0) + VK_NUMPAD0;
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
    switch (keysym) {
        case XK_BackSpace:
            return 8;
        case XK_Tab:
        case XK_ISO_Left_Tab:
        case XK_KP_Tab:
            return 9;
        case XK_Return:
        case XK_KP_Enter:
            return 13;
        case XK_Escape:
            return 27;
        case XK_KP_Space:
            return U' ';
        case XK_KP_Equal:
            return U'=';
        case XK_KP_Multiply:
            return U'*';
        case XK_KP_Add:
            return U'+';
        case XK_KP_Separator:
            return U',';
        case XK_KP_Subtract:
            return U'-';
        case XK_KP_Decimal:
            return U'.';
        case XK_KP_Divide:
            return U'/';
        case XK_EuroSign:
            return 0x20AC;
        default:
            break;
    }
    // The legacy character keysyms of other scripts: a character, but none
    // that this program's code page can show.
    if (keysym >= 0x100 && keysym < 0xFE00) return kReplacement;
    return 0;
}

uint8_t UnshiftedCharacter(int virtualKey, Keysym unshifted) {
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
        return static_cast<uint8_t>(virtualKey);
    }
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD0 + 9) {
        return static_cast<uint8_t>('0' + virtualKey - VK_NUMPAD0);
    }
    switch (virtualKey) {
        case VK_MULTIPLY:
            return '*';
        case VK_ADD:
            return '+';
        case VK_SUBTRACT:
            return '-';
        case VK_DECIMAL:
            return '.';
        case VK_DIVIDE:
            return '/';
        case VK_BACK:
            return 8;
        case VK_TAB:
            return 9;
        case VK_RETURN:
            return 13;
        case VK_ESCAPE:
            return 27;
        case VK_SPACE:
            return ' ';
        default:
            break;
    }
    const char32_t u = UnicodeOfKeysym(unshifted);
    if (u >= 0x21 && u <= 0xFF && u != 0x7F) {
        if (u >= U'a' && u <= U'z') return static_cast<uint8_t>(u - 32);
        return static_cast<uint8_t>(u);
    }
    return 0;
}

uint8_t ControlCharacter(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return static_cast<uint8_t>(virtualKey - 0x40);
    switch (virtualKey) {
        case VK_OEM_4:
        case VK_ESCAPE:
            return 27;
        case VK_OEM_5:
            return 28;
        case VK_OEM_6:
            return 29;
        case VK_RETURN:
            return 10;
        case VK_BACK:
            return 127;
        case VK_SPACE:
            return 32;
        default:
            return 0;
    }
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
    facts.deadKey = IsDeadKeysym(typed);
    if (facts.deadKey) return facts;

    if (in.ctrl && !in.alt) {
        facts.character = ControlCharacter(facts.virtualKey);
        facts.hasChar = facts.character != 0;
        facts.cp437 = facts.character;
        return facts;
    }
    const char32_t u = UnicodeOfKeysym(typed);
    if (u == 0) return facts;
    facts.character = u <= 0xFF ? static_cast<uint8_t>(u) : 0;
    facts.hasChar = true;
    const int byte = textio::UnicodeToCp437(u);
    facts.cp437 = byte >= 0 ? static_cast<uint8_t>(byte) : static_cast<uint8_t>('?');
    return facts;
}

}  // namespace gfxwin::x11
