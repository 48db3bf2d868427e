// What an X11 key event means to the window layer: the PC scan code, the
// Win32 virtual key, the characters. Pure functions over keycodes and keysyms,
// so they can be checked without an X server.
#pragma once

#include <cstdint>

#include "gfxwin/window/key_events.h"

namespace gfxwin::x11 {

using Keysym = unsigned long;

struct ScanCode {
    int code = 0;  // PC set-1 make code, 0 when unknown
    bool extended = false;
};

// The scan code of an evdev key (X keycode minus 8, the kernel's key number).
ScanCode ScanCodeOfEvdevKey(int evdevKey);

// The scan code of a key known only by its keysyms (for keycode sets other
// than evdev): `unshifted` is the key's first keysym, `virtualKey` the virtual
// key found for it.
ScanCode ScanCodeOfKeysym(Keysym unshifted, int virtualKey);

// The virtual key that stands for a keysym, 0 when none. Letters of either
// case give the uppercase letter's key.
int VirtualKeyOfKeysym(Keysym keysym);

// True for the keypad's digit and decimal-point keysyms (KP_0..KP_9,
// KP_Decimal, KP_Separator): the keysyms that Num Lock selects.
bool IsKeypadNumericKeysym(Keysym keysym);

// True for the dead keysyms (accents typed before a letter).
bool IsDeadKeysym(Keysym keysym);

// The Unicode character a keysym types, 0 when it types none. Delete types
// no character.
char32_t UnicodeOfKeysym(Keysym keysym);

// The character of a virtual key without modifiers, as the key's own
// character (OwnCharacter): uppercase for letters, the digit for keypad
// digits, 0 when none. `unshifted` supplies the layout's character for keys
// other than letters, digits and the keypad.
uint8_t UnshiftedCharacter(int virtualKey, Keysym unshifted);

struct KeyInput {
    int keycode = 0;       // X keycode
    bool evdev = false;    // the keycode set is evdev
    Keysym level0 = 0;     // first keysym of the key in the current group
    Keysym level1 = 0;     // second (shifted) keysym
    Keysym effective = 0;  // keysym with the current modifiers
    bool shift = false;
    bool ctrl = false;
    bool alt = false;  // Alt held (either), AltGr counts with ctrl as well
    bool numLock = false;
};

KeyFacts DescribeKey(const KeyInput& input);

}  // namespace gfxwin::x11
