// Key events of a window system host, brought into the form of the Win32
// keyboard that the window messages carry (window_host.h): what one key
// event means, which virtual keys the keys held down hold, and the messages
// a key press or release delivers. Each host describes its own events; the
// rest is the same for every host. Window thread.
#pragma once

#include <cstdint>

#include "gfxwin/window/window_host.h"

namespace gfxwin {

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

// The character a virtual key stands for by itself, 0 when it is a key of
// the layout (punctuation, letters of other scripts) or types none: the
// uppercase letter, the digit (also for keypad digits), the keypad's
// operators, Backspace 8, Tab 9, Enter 13, Escape 27 and the space.
uint8_t OwnCharacter(int virtualKey);

// The control character of Ctrl + a key, 0 when the combination types none
// (Ctrl+A gives 1 ... Ctrl+Z 26, Ctrl+[ 27, Ctrl+\ 28, Ctrl+] 29, Ctrl+Enter
// 10, Ctrl+Backspace 127, Ctrl+Space 32, Ctrl+Esc 27).
uint8_t ControlCharacter(int virtualKey);

// What a key types before the layout has a say: nothing for a dead key, and
// with Ctrl held without Alt its control character (or nothing). Fills the
// facts (their virtual key set) and answers true when that settles it.
bool TypesWithoutTheLayout(KeyFacts* facts, bool deadKey, bool ctrl, bool alt);

// The virtual keys one key holds down: the key's own and, for Shift, Ctrl and
// Alt, the side-specific form. AltGr holds Ctrl and right Alt, as the PC does.
struct KeyVks {
    uint8_t vk[4] = {};
};
KeyVks HeldVirtualKeys(const KeyFacts& facts, bool rightShift, bool altGr);

// The keys held down, by the host's number for each key (0..255), and the
// virtual keys they hold.
class HeldKeys {
  public:
    bool Holds(int key) const { return keys_[key & 0xFF].vk[0] != 0; }
    void Press(int key, const KeyVks& vks);
    void Release(int key);
    void ReleaseAll();
    bool Held(int virtualKey) const { return counts_[virtualKey & 0xFF] > 0; }
    // Pressed state of every virtual key: bit 7 set = down.
    void State(uint8_t state[256]) const;

  private:
    KeyVks keys_[256] = {};
    int counts_[256] = {};
};

// Delivers the message of a key that went down, given the keys held with it
// (the key itself among them): a system key while Alt is held without Ctrl,
// and for F10. A key that types a character and is no system key then
// delivers its character, unless `gone` was set meanwhile (the host lost its
// window system).
void DeliverKeyDown(host::MessageSink& sink, const KeyFacts& facts, bool repeat,
                    const HeldKeys& held, const bool* gone);
// Delivers the message of a key that went up, given the keys still held.
void DeliverKeyUp(host::MessageSink& sink, const KeyFacts& facts, const HeldKeys& held);

}  // namespace gfxwin
