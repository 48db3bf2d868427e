#include "gfxwin/window/web/web_keyboard.h"

#include <cstdint>

#include "gfxwin/keys/virtual_keys.h"
#include "textio/cp437.h"

namespace gfxwin::web {

namespace {

// A key place by its KeyboardEvent.code, besides letters, digits, function
// keys and keypad digits: the PC scan code, the extended flag, the virtual
// key, and the key's character on the US layout the names come from.
struct PlaceRow {
    std::string_view code;
    uint8_t scanCode;
    bool extended;
    uint8_t virtualKey;
    char plain;
};

constexpr PlaceRow kPlaces[] = {
    {"Escape", 0x01, false, vk::kEscape, 0},
    {"Minus", 0x0C, false, vk::kOemMinus, '-'},
    {"Equal", 0x0D, false, vk::kOemPlus, '='},
    {"Backspace", 0x0E, false, vk::kBack, 0},
    {"Tab", 0x0F, false, vk::kTab, 0},
    {"BracketLeft", 0x1A, false, vk::kOem4, '['},
    {"BracketRight", 0x1B, false, vk::kOem6, ']'},
    {"Enter", 0x1C, false, vk::kReturn, 0},
    {"ControlLeft", 0x1D, false, vk::kControl, 0},
    {"Semicolon", 0x27, false, vk::kOem1, ';'},
    {"Quote", 0x28, false, vk::kOem7, '\''},
    {"Backquote", 0x29, false, vk::kOem3, '`'},
    {"ShiftLeft", 0x2A, false, vk::kShift, 0},
    {"Backslash", 0x2B, false, vk::kOem5, '\\'},
    {"Comma", 0x33, false, vk::kOemComma, ','},
    {"Period", 0x34, false, vk::kOemPeriod, '.'},
    {"Slash", 0x35, false, vk::kOem2, '/'},
    {"ShiftRight", 0x36, false, vk::kShift, 0},
    {"NumpadMultiply", 0x37, false, vk::kMultiply, 0},
    {"AltLeft", 0x38, false, vk::kMenu, 0},
    {"Space", 0x39, false, vk::kSpace, 0},
    {"CapsLock", 0x3A, false, vk::kCapital, 0},
    {"NumLock", 0x45, false, vk::kNumLock, 0},
    {"ScrollLock", 0x46, false, vk::kScroll, 0},
    {"NumpadSubtract", 0x4A, false, vk::kSubtract, 0},
    {"NumpadAdd", 0x4E, false, vk::kAdd, 0},
    {"NumpadDecimal", 0x53, false, vk::kDecimal, 0},
    {"IntlBackslash", 0x56, false, vk::kOem102, '<'},
    {"NumpadEnter", 0x1C, true, vk::kReturn, 0},
    {"ControlRight", 0x1D, true, vk::kControl, 0},
    {"NumpadDivide", 0x35, true, vk::kDivide, 0},
    {"PrintScreen", 0x37, true, vk::kSnapshot, 0},
    {"AltRight", 0x38, true, vk::kMenu, 0},
    {"Home", 0x47, true, vk::kHome, 0},
    {"ArrowUp", 0x48, true, vk::kUp, 0},
    {"PageUp", 0x49, true, vk::kPrior, 0},
    {"ArrowLeft", 0x4B, true, vk::kLeft, 0},
    {"ArrowRight", 0x4D, true, vk::kRight, 0},
    {"End", 0x4F, true, vk::kEnd, 0},
    {"ArrowDown", 0x50, true, vk::kDown, 0},
    {"PageDown", 0x51, true, vk::kNext, 0},
    {"Insert", 0x52, true, vk::kInsert, 0},
    {"Delete", 0x53, true, vk::kDelete, 0},
    {"MetaLeft", 0x5B, true, vk::kLeftWin, 0},
    {"MetaRight", 0x5C, true, vk::kRightWin, 0},
    {"ContextMenu", 0x5D, true, vk::kApps, 0},
};

// Scan codes of the letters A to Z, of the keypad digits 0 to 9 and of the
// function keys F1 to F12.
constexpr uint8_t kLetterScans[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                      0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                      0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
constexpr uint8_t kKeypadScans[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
constexpr uint8_t kFunctionScans[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40,
                                        0x41, 0x42, 0x43, 0x44, 0x57, 0x58};

// The number after `prefix` in `code` ("F11" -> 11), or -1.
int NumberAfter(std::string_view code, std::string_view prefix) {
    if (code.substr(0, prefix.size()) != prefix || code.size() == prefix.size()) return -1;
    int n = 0;
    for (const char c : code.substr(prefix.size())) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

const PlaceRow* FindPlace(std::string_view code) {
    for (const PlaceRow& row : kPlaces) {
        if (row.code == code) return &row;
    }
    return nullptr;
}

// The scan code, extended flag and virtual key of a place.
void DescribePlace(std::string_view code, KeyFacts* facts) {
    if (code.size() == 4 && code.substr(0, 3) == "Key" && code[3] >= 'A' && code[3] <= 'Z') {
        facts->scanCode = kLetterScans[code[3] - 'A'];
        facts->virtualKey = code[3];
    } else if (const int digit = NumberAfter(code, "Digit"); digit >= 0 && digit <= 9) {
        facts->scanCode = digit == 0 ? 0x0B : 1 + digit;
        facts->virtualKey = '0' + digit;
    } else if (const int pad = NumberAfter(code, "Numpad"); pad >= 0 && pad <= 9) {
        facts->scanCode = kKeypadScans[pad];
        facts->virtualKey = vk::kNumpad0 + pad;
    } else if (const int f = NumberAfter(code, "F"); f >= 1 && f <= 24) {
        facts->scanCode = f <= 12 ? kFunctionScans[f - 1] : 0;
        facts->virtualKey = vk::kF1 + f - 1;
    } else if (const PlaceRow* row = FindPlace(code)) {
        facts->scanCode = row->scanCode;
        facts->extended = row->extended;
        facts->virtualKey = row->virtualKey;
    }
}

// Named keys that type a character, as on the desktop.
struct NamedChar {
    std::string_view key;
    uint8_t character;
};
constexpr NamedChar kNamedChars[] = {{"Backspace", 8}, {"Tab", 9}, {"Enter", 13}, {"Escape", 27}};

}  // namespace

int KeyPlace(const KeyFacts& facts) {
    return facts.scanCode == 0 ? 0 : (facts.scanCode & 0x7F) | (facts.extended ? 0x80 : 0);
}

KeyFacts DescribeWebKey(const WebKeyInput& in) {
    KeyFacts facts;
    DescribePlace(in.code, &facts);
    // What one key types, in code page 437: a single character, or a name.
    constexpr size_t kLongestKey = 32;
    unsigned char typed[kLongestKey + 2];
    textio::Utf8ToCp437 decoder;
    const auto* bytes = reinterpret_cast<const unsigned char*>(in.key.data());
    const size_t length = in.key.size() < kLongestKey ? in.key.size() : kLongestKey;
    size_t count = decoder.Convert(bytes, length, typed);
    count += decoder.Finish(typed + count);
    const bool single = count == 1;
    // The layout decides which letter a key is, and a keypad key without Num
    // Lock is the key it names (Home, Up, ...).
    if (single && in.key.size() == 1 && ((in.key[0] | 0x20) >= 'a' && (in.key[0] | 0x20) <= 'z')) {
        facts.virtualKey = in.key[0] & ~0x20;
    }
    if (!single && facts.virtualKey >= vk::kNumpad0 && facts.virtualKey <= vk::kNumpad0 + 9) {
        const PlaceRow* named = FindPlace(in.key);
        facts.virtualKey = named != nullptr ? named->virtualKey : vk::kClear;
    }
    if (facts.virtualKey == vk::kDecimal && in.key == "Delete") facts.virtualKey = vk::kDelete;

    facts.unshiftedChar = OwnCharacter(facts.virtualKey);
    if (facts.unshiftedChar == 0) {
        const PlaceRow* row = FindPlace(in.code);
        facts.unshiftedChar = row != nullptr ? static_cast<uint8_t>(row->plain) : 0;
    }
    if (TypesWithoutTheLayout(&facts, in.key == "Dead", in.ctrl, in.alt)) return facts;
    if (single) {
        facts.hasChar = true;
        facts.cp437 = typed[0];
        // The key path takes Latin-1: one byte of UTF-8, or two from C2 or C3.
        if (bytes[0] < 0x80) {
            facts.character = bytes[0];
        } else if (length == 2 && (bytes[0] == 0xC2 || bytes[0] == 0xC3)) {
            facts.character = static_cast<uint8_t>(((bytes[0] & 0x1F) << 6) | (bytes[1] & 0x3F));
        }
        return facts;
    }
    for (const NamedChar& named : kNamedChars) {
        if (in.key == named.key) {
            facts.hasChar = true;
            facts.character = facts.cp437 = named.character;
        }
    }
    return facts;
}

}  // namespace gfxwin::web
