// What a browser key event means to the window layer: the PC scan code and
// the virtual key from the key's place (KeyboardEvent.code), the character
// from what it types (KeyboardEvent.key). Pure functions over the event's
// texts.
#pragma once

#include <string_view>

#include "gfxwin/window/key_events.h"

namespace gfxwin::web {

struct WebKeyInput {
    std::string_view code;  // KeyboardEvent.code: "KeyA", "Digit1", "ArrowLeft", ...
    std::string_view key;   // KeyboardEvent.key: "a", "ä", "Enter", "Dead", ...
    bool shift = false;
    bool ctrl = false;
    bool alt = false;  // Alt held (either); AltGr counts with ctrl as well
};

KeyFacts DescribeWebKey(const WebKeyInput& input);

// A number for each key place (0 when the place is not known): the scan code,
// with 128 added for extended keys.
int KeyPlace(const KeyFacts& facts);

}  // namespace gfxwin::web
