#include "gfxwin/keys/key_translation.h"

#include <array>

namespace gfxwin {
namespace {

// Table entries above 255 name an extended key code by its second byte (the high
// byte of the entry). In the scan-code table only those entries matter: for
// everything else the key gives its character, so the rest is stored as 0.
constexpr uint16_t ExtendedEntry(int secondByte) {
    return static_cast<uint16_t>(secondByte << 8);
}

struct ScanRow {
    uint16_t plain, shift, ctrl, alt;
};

constexpr int kMaxScanCode = 88;

// Indexed by scan code 0..88.
constexpr std::array<ScanRow, kMaxScanCode + 1> kScanTable = {{
    {0, 0, 0, 0},                                                        // 0
    {0, 0, 0, ExtendedEntry(0x01)},                                      // 1 Esc
    {0, 0, 0, ExtendedEntry(0x78)},                                      // 2 digit 1
    {0, 0, ExtendedEntry(0x03), ExtendedEntry(0x79)},                    // 3 digit 2
    {0, 0, 0, ExtendedEntry(0x7A)},                                      // 4 digit 3
    {0, 0, 0, ExtendedEntry(0x7B)},                                      // 5 digit 4
    {0, 0, 0, ExtendedEntry(0x7C)},                                      // 6 digit 5
    {0, 0, 0, ExtendedEntry(0x7D)},                                      // 7 digit 6
    {0, 0, 0, ExtendedEntry(0x7E)},                                      // 8 digit 7
    {0, 0, 0, ExtendedEntry(0x7F)},                                      // 9 digit 8
    {0, 0, 0, ExtendedEntry(0x80)},                                      // 10 digit 9
    {0, 0, 0, ExtendedEntry(0x81)},                                      // 11 digit 0
    {0, 0, 0, ExtendedEntry(0x82)},                                      // 12 minus
    {0, 0, 0, ExtendedEntry(0x83)},                                      // 13 equals
    {0, 0, 0, ExtendedEntry(0xE0)},                                      // 14 Backspace
    {0, ExtendedEntry(0x0F), ExtendedEntry(0x94), ExtendedEntry(0x0F)},  // 15 Tab
    {0, 0, 0, ExtendedEntry(0x10)},                                      // 16 Q
    {0, 0, 0, ExtendedEntry(0x11)},                                      // 17 W
    {0, 0, 0, ExtendedEntry(0x12)},                                      // 18 E
    {0, 0, 0, ExtendedEntry(0x13)},                                      // 19 R
    {0, 0, 0, ExtendedEntry(0x14)},                                      // 20 T
    {0, 0, 0, ExtendedEntry(0x15)},                                      // 21 Y
    {0, 0, 0, ExtendedEntry(0x16)},                                      // 22 U
    {0, 0, 0, ExtendedEntry(0x17)},                                      // 23 I
    {0, 0, 0, ExtendedEntry(0x18)},                                      // 24 O
    {0, 0, 0, ExtendedEntry(0x19)},                                      // 25 P
    {0, 0, 0, ExtendedEntry(0x1A)},                                      // 26 [
    {0, 0, 0, ExtendedEntry(0x1B)},                                      // 27 ]
    {0, 0, 0, ExtendedEntry(0x1C)},                                      // 28 Enter
    {0, 0, 0, 0},                                                        // 29 Control
    {0, 0, 0, ExtendedEntry(0x1E)},                                      // 30 A
    {0, 0, 0, ExtendedEntry(0x1F)},                                      // 31 S
    {0, 0, 0, ExtendedEntry(0x20)},                                      // 32 D
    {0, 0, 0, ExtendedEntry(0x21)},                                      // 33 F
    {0, 0, 0, ExtendedEntry(0x22)},                                      // 34 G
    {0, 0, 0, ExtendedEntry(0x23)},                                      // 35 H
    {0, 0, 0, ExtendedEntry(0x24)},                                      // 36 J
    {0, 0, 0, ExtendedEntry(0x25)},                                      // 37 K
    {0, 0, 0, ExtendedEntry(0x26)},                                      // 38 L
    {0, 0, 0, ExtendedEntry(0x27)},                                      // 39 ;
    {0, 0, 0, ExtendedEntry(0x28)},                                      // 40 '
    {0, 0, 0, ExtendedEntry(0x29)},                                      // 41 `
    {0, 0, 0, 0},                                                        // 42 left Shift
    {0, 0, 0, 0},                                                        // 43 backslash
    {0, 0, 0, ExtendedEntry(0x2C)},                                      // 44 Z
    {0, 0, 0, ExtendedEntry(0x2D)},                                      // 45 X
    {0, 0, 0, ExtendedEntry(0x2E)},                                      // 46 C
    {0, 0, 0, ExtendedEntry(0x2F)},                                      // 47 V
    {0, 0, 0, ExtendedEntry(0x30)},                                      // 48 B
    {0, 0, 0, ExtendedEntry(0x31)},                                      // 49 N
    {0, 0, 0, ExtendedEntry(0x32)},                                      // 50 M
    {0, 0, 0, ExtendedEntry(0x33)},                                      // 51 comma
    {0, 0, 0, ExtendedEntry(0x34)},                                      // 52 period
    {0, 0, 0, ExtendedEntry(0x35)},                                      // 53 slash
    {0, 0, 0, 0},                                                        // 54 right Shift
    {0, 0, 0, 0},                                                        // 55 keypad *
    {0, 0, 0, 0},                                                        // 56 Alt
    {0, 0, 0, 0},                                                        // 57 Space
    {0, 0, 0, 0},                                                        // 58 Caps Lock
    {ExtendedEntry(0x3B), ExtendedEntry(0x54), ExtendedEntry(0x5E), ExtendedEntry(0x68)},  // 59 F1
    {ExtendedEntry(0x3C), ExtendedEntry(0x55), ExtendedEntry(0x5F), ExtendedEntry(0x69)},  // 60 F2
    {ExtendedEntry(0x3D), ExtendedEntry(0x56), ExtendedEntry(0x60), ExtendedEntry(0x6A)},  // 61 F3
    {ExtendedEntry(0x3E), ExtendedEntry(0x57), ExtendedEntry(0x61), ExtendedEntry(0x6B)},  // 62 F4
    {ExtendedEntry(0x3F), ExtendedEntry(0x58), ExtendedEntry(0x62), ExtendedEntry(0x6C)},  // 63 F5
    {ExtendedEntry(0x40), ExtendedEntry(0x59), ExtendedEntry(0x63), ExtendedEntry(0x6D)},  // 64 F6
    {ExtendedEntry(0x41), ExtendedEntry(0x5A), ExtendedEntry(0x64), ExtendedEntry(0x6E)},  // 65 F7
    {ExtendedEntry(0x42), ExtendedEntry(0x5B), ExtendedEntry(0x65), ExtendedEntry(0x6F)},  // 66 F8
    {ExtendedEntry(0x43), ExtendedEntry(0x5C), ExtendedEntry(0x66), ExtendedEntry(0x70)},  // 67 F9
    {ExtendedEntry(0x44), ExtendedEntry(0x5D), ExtendedEntry(0x67), ExtendedEntry(0x71)},  // 68 F10
    {0, 0, 0, 0},                                                        // 69 Num Lock
    {0, 0, 0, 0},                                                        // 70 Scroll Lock
    {ExtendedEntry(0x47), 0, ExtendedEntry(0x77), 0},                    // 71 keypad 7 / Home
    {ExtendedEntry(0x48), 0, ExtendedEntry(0x8D), 0},                    // 72 keypad 8 / Up
    {ExtendedEntry(0x49), 0, ExtendedEntry(0x84), 0},                    // 73 keypad 9 / Page Up
    {0, 0, 0, 0},                                                        // 74 keypad -
    {ExtendedEntry(0x4B), 0, ExtendedEntry(0x73), 0},                    // 75 keypad 4 / Left
    {ExtendedEntry(0x4C), 0, ExtendedEntry(0x8F), ExtendedEntry(0x4C)},  // 76 keypad 5
    {ExtendedEntry(0x4D), 0, ExtendedEntry(0x74), 0},                    // 77 keypad 6 / Right
    {0, 0, 0, 0},                                                        // 78 keypad +
    {ExtendedEntry(0x4F), 0, ExtendedEntry(0x75), 0},                    // 79 keypad 1 / End
    {ExtendedEntry(0x50), 0, ExtendedEntry(0x91), 0},                    // 80 keypad 2 / Down
    {ExtendedEntry(0x51), 0, ExtendedEntry(0x76), 0},                    // 81 keypad 3 / Page Down
    {ExtendedEntry(0x52), 0, ExtendedEntry(0x92), 0},                    // 82 keypad 0 / Insert
    {ExtendedEntry(0x53), 0, ExtendedEntry(0x93), 0},                    // 83 keypad . / Delete
    {0, 0, 0, 0},                                                        // 84
    {0, 0, 0, 0},                                                        // 85
    {0, 0, 0, 0},                                                        // 86
    {ExtendedEntry(0x85), ExtendedEntry(0x87), ExtendedEntry(0x89), ExtendedEntry(0x8B)},  // 87 F11
    {ExtendedEntry(0x86), ExtendedEntry(0x88), ExtendedEntry(0x8A), ExtendedEntry(0x8C)},  // 88 F12
}};

// Keys the platform flags as extended and that give no character. Here every
// entry counts: up to 255 it is the code itself, above it an extended key code,
// and 0 means no code.
struct ExtendedRow {
    uint16_t scanCode, plain, shift, ctrl, alt;
};

constexpr std::array<ExtendedRow, 12> kExtendedTable = {{
    {0x1C, 13, 13, 10, ExtendedEntry(0xA6)},                     // keypad Enter
    {0x35, '/', '?', ExtendedEntry(0x95), ExtendedEntry(0xA4)},  // keypad slash
    {0x47, ExtendedEntry(0x47), ExtendedEntry(0x47), ExtendedEntry(0x77),
     ExtendedEntry(0x97)},  // Home
    {0x48, ExtendedEntry(0x48), ExtendedEntry(0x48), ExtendedEntry(0x8D),
     ExtendedEntry(0x98)},  // Up
    {0x49, ExtendedEntry(0x49), ExtendedEntry(0x49), ExtendedEntry(0x84),
     ExtendedEntry(0x99)},  // Page Up
    {0x4B, ExtendedEntry(0x4B), ExtendedEntry(0x4B), ExtendedEntry(0x73),
     ExtendedEntry(0x9B)},  // Left
    {0x4D, ExtendedEntry(0x4D), ExtendedEntry(0x4D), ExtendedEntry(0x74),
     ExtendedEntry(0x9D)},  // Right
    {0x4F, ExtendedEntry(0x4F), ExtendedEntry(0x4F), ExtendedEntry(0x75),
     ExtendedEntry(0x9F)},  // End
    {0x50, ExtendedEntry(0x50), ExtendedEntry(0x50), ExtendedEntry(0x91),
     ExtendedEntry(0xA0)},  // Down
    {0x51, ExtendedEntry(0x51), ExtendedEntry(0x51), ExtendedEntry(0x76),
     ExtendedEntry(0xA1)},  // Page Down
    {0x52, ExtendedEntry(0x52), ExtendedEntry(0x52), ExtendedEntry(0x92),
     ExtendedEntry(0xA2)},  // Insert
    {0x53, ExtendedEntry(0x53), ExtendedEntry(0x53), ExtendedEntry(0x93),
     ExtendedEntry(0xA3)},  // Delete
}};

// Win32 virtual-key numbers per scan code; the first row must be Esc, which the
// reverse lookup answers without searching.
constexpr std::array<KeyMapRow, 86> kKeyMap = {{
    {1, 0x1B, 0},                                          // Esc
    {2, 0x31, 0},     {3, 0x32, 0},     {4, 0x33, 0},      // 1 2 3
    {5, 0x34, 0},     {6, 0x35, 0},     {7, 0x36, 0},      // 4 5 6
    {8, 0x37, 0},     {9, 0x38, 0},     {10, 0x39, 0},     // 7 8 9
    {11, 0x30, 0},                                         // 0
    {12, 0xBD, 0x6D},                                      // minus, keypad minus
    {13, 0xBB, 0},                                         // equals
    {14, 0x08, 0},    {15, 0x09, 0},                       // Backspace, Tab
    {16, 0x51, 0},    {17, 0x57, 0},    {18, 0x45, 0},     // Q W E
    {19, 0x52, 0},    {20, 0x54, 0},    {21, 0x59, 0},     // R T Y
    {22, 0x55, 0},    {23, 0x49, 0},    {24, 0x4F, 0},     // U I O
    {25, 0x50, 0},                                         // P
    {26, 0xDB, 0},    {27, 0xDD, 0},    {28, 0x0D, 0},     // [ ] Enter
    {29, 0x11, 0},                                         // Control
    {30, 0x41, 0},    {31, 0x53, 0},    {32, 0x44, 0},     // A S D
    {33, 0x46, 0},    {34, 0x47, 0},    {35, 0x48, 0},     // F G H
    {36, 0x4A, 0},    {37, 0x4B, 0},    {38, 0x4C, 0},     // J K L
    {39, 0xBA, 0},    {40, 0xDE, 0},    {41, 0xC0, 0},     // ; ' `
    {42, 0x10, 0},                                         // Shift
    {43, 0xDC, 0},                                         // backslash
    {44, 0x5A, 0},    {45, 0x58, 0},    {46, 0x43, 0},     // Z X C
    {47, 0x56, 0},    {48, 0x42, 0},    {49, 0x4E, 0},     // V B N
    {50, 0x4D, 0},                                         // M
    {51, 0xBC, 0},    {52, 0xBE, 0},                       // comma, period
    {53, 0xBF, 0x6F},                                      // slash, keypad divide
    {54, 0x10, 0},                                         // Shift
    {55, 0x6A, 0},                                         // keypad multiply
    {56, 0x12, 0},    {57, 0x20, 0},    {58, 0x14, 0},     // Alt, Space, Caps Lock
    {59, 0x70, 0},    {60, 0x71, 0},    {61, 0x72, 0},     // F1 F2 F3
    {62, 0x73, 0},    {63, 0x74, 0},    {64, 0x75, 0},     // F4 F5 F6
    {65, 0x76, 0},    {66, 0x77, 0},    {67, 0x78, 0},     // F7 F8 F9
    {68, 0x79, 0},                                         // F10
    {69, 0x90, 0},    {70, 0x91, 0},                       // Num Lock, Scroll Lock
    {71, 0x24, 0x67}, {72, 0x26, 0x68}, {73, 0x21, 0x69},  // Home/7 Up/8 PgUp/9
    {75, 0x25, 0x64}, {77, 0x27, 0x66},                    // Left/4 Right/6
    {78, 0x6B, 0},                                         // keypad plus
    {79, 0x23, 0x61}, {80, 0x28, 0x62}, {81, 0x22, 0x63},  // End/1 Down/2 PgDn/3
    {82, 0x2D, 0x60}, {83, 0x2E, 0x6E},                    // Insert/0 Delete/.
    {87, 0x7A, 0},    {88, 0x7B, 0},                       // F11 F12
    {91, 0x5B, 0},    {92, 0x5C, 0},    {93, 0x5D, 0},     // Windows keys, Apps
}};

static_assert(kKeyMap[0].scanCode == 1 && kKeyMap[0].vk1 == 0x1B);

enum class Column { kPlain, kShift, kCtrl, kAlt };

Column ChooseColumn(const KeyModifiers& mods) {
    if (mods.leftAlt || mods.rightAlt) return Column::kAlt;
    if (mods.leftCtrl || mods.rightCtrl) return Column::kCtrl;
    if (mods.shift) return Column::kShift;
    return Column::kPlain;
}

template <typename Row>
uint16_t Pick(const Row& row, Column column) {
    switch (column) {
        case Column::kAlt:
            return row.alt;
        case Column::kCtrl:
            return row.ctrl;
        case Column::kShift:
            return row.shift;
        case Column::kPlain:
            break;
    }
    return row.plain;
}

constexpr int32_t CodeOfEntry(uint32_t entry) {
    return static_cast<int32_t>(entry & 0xFF00u) + 255;
}

int SwapLetterCase(int ch) {
    if (ch >= 'A' && ch <= 'Z') return ch + ('a' - 'A');
    if (ch >= 'a' && ch <= 'z') return ch - ('a' - 'A');
    return ch;
}

int32_t CharacterOrNone(uint8_t character) {
    return character != 0 ? static_cast<int32_t>(character) : kNoKey;
}

}  // namespace

int32_t TranslateKey(uint8_t character, int scanCode, int /*virtualKey*/, int unshiftedChar,
                     KeyModifiers mods) {
    const Column column = ChooseColumn(mods);

    // Extended keys without a character: cursor block, keypad Enter and slash.
    if (mods.extended && character == 0) {
        for (const ExtendedRow& row : kExtendedTable) {
            if (row.scanCode != scanCode) continue;
            const uint16_t e = Pick(row, column);
            if (e == 0) return kNoKey;
            return e <= 255 ? static_cast<int32_t>(e) : CodeOfEntry(e);
        }
        return kNoKey;
    }

    // Keys beyond the table (scan codes above 88, and anything out of range).
    if (scanCode < 0 || scanCode > kMaxScanCode) return CharacterOrNone(character);

    const ScanRow& row = kScanTable[static_cast<size_t>(scanCode)];
    uint32_t e;
    if (column != Column::kPlain) {
        e = Pick(row, column);
    } else if (character != 0) {
        // A plain key with a character keeps it.
        e = static_cast<uint32_t>(unshiftedChar);
    } else {
        e = row.plain;
    }

    // The extended code replaces the character only when the character is the
    // key's own (either case): a layout character typed with Ctrl+Alt (AltGr)
    // differs from it and stays a character.
    const int ch = character;
    if (e > 255 && (ch == unshiftedChar || ch == SwapLetterCase(unshiftedChar))) {
        return CodeOfEntry(e);
    }
    return CharacterOrNone(character);
}

std::span<const KeyMapRow> KeyMapTable() {
    return kKeyMap;
}

int ScanCodeOfVirtualKey(int virtualKey) {
    if (virtualKey == 0 || virtualKey == 0x1B) return 1;
    for (size_t i = 1; i < kKeyMap.size(); ++i) {
        const KeyMapRow& row = kKeyMap[i];
        if (row.vk1 == virtualKey || row.vk2 == virtualKey) return row.scanCode;
    }
    return 0;
}

}  // namespace gfxwin
