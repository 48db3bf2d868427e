// What an X11 key event means to the window layer: the PC scan code, the
// Win32 virtual key, the characters. Pure functions over keycodes and keysyms,
// so they can be checked without an X server.
#pragma once

#include <cstdint>

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
// character: uppercase for letters, the digit for keypad digits, 0 when none.
// `unshifted` supplies the layout's character for keys other than letters,
// digits and the keypad.
uint8_t UnshiftedCharacter(int virtualKey, Keysym unshifted);

// The control character of Ctrl + a key, 0 when the combination types none
// (Ctrl+A gives 1 ... Ctrl+Z 26, Ctrl+[ 27, Ctrl+\ 28, Ctrl+] 29, Ctrl+Enter
// 10, Ctrl+Backspace 127, Ctrl+Space 32, Ctrl+Esc 27).
uint8_t ControlCharacter(int virtualKey);

// Everything the window layer needs from one key event.
struct KeyFacts {
    int scanCode = 0;
    bool extended = false;
    int virtualKey = 0;
    uint8_t character = 0;  // Latin-1 (or control) character for the key path
    bool deadKey = false;
    uint8_t unshiftedChar = 0;
    // The typed character for the character path; hasChar is false when the
    // key types nothing. cp437 is '?' for characters outside code page 437.
    bool hasChar = false;
    uint8_t cp437 = 0;
};

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
