// Turns one key press into the key code that the window posts to the key buffer.
//
// Key codes are those of textio/key_code.h. Scan codes are PC
// set-1 make codes; keys of the cursor block and the other duplicated keys carry
// the extended flag.
#pragma once

#include <cstdint>
#include <span>

#include "textio/key_code.h"

namespace gfxwin {

struct KeyModifiers {
    bool shift = false;
    bool leftCtrl = false;
    bool rightCtrl = false;
    bool leftAlt = false;
    bool rightAlt = false;
    bool extended = false;  // the platform flagged the key as an extended key
};

// Result of TranslateKey when the key press yields no code.
constexpr int32_t kNoKey = -1;

using textio::ExtendedKeyCode;
using textio::kCloseCode;

// Translates one key press.
//   character     the character the keyboard layout produced with the current
//                 modifier state, 0 when none
//   scanCode      PC set-1 scan code, 0..255
//   virtualKey    the platform's virtual key; it takes no part in the choice
//                 (the caller resolves it to `unshiftedChar`)
//   unshiftedChar the key's character without modifiers (uppercase for letter
//                 keys), 0 when the key has none
// Returns the key code, or kNoKey.
int32_t TranslateKey(uint8_t character, int scanCode, int virtualKey, int unshiftedChar,
                     KeyModifiers mods);

// One row of the key map: a scan code and the one or two virtual keys that
// stand for it (vk2 is 0 when there is only one).
struct KeyMapRow {
    uint8_t scanCode;
    uint8_t vk1;
    uint8_t vk2;
};

// The key map in scan-code order (86 rows, no end row). The key-state refresh
// walks it to set one state byte per scan code.
std::span<const KeyMapRow> KeyMapTable();

// Scan code of a virtual key: 1 for virtual key 0 and for Esc (27); otherwise
// the scan code of the first key-map row from scan code 2 on that names the
// virtual key; 0 when none does.
int ScanCodeOfVirtualKey(int virtualKey);

}  // namespace gfxwin
