#include "gfxwin/window/key_events.h"

#include <algorithm>
#include <iterator>

#include "gfxwin/keys/virtual_keys.h"

namespace gfxwin {

namespace {

using host::MessageKind;
using host::WindowMessage;

// A character by virtual key.
struct VirtualKeyChar {
    int virtualKey;
    uint8_t character;
};

// The keys' own characters besides letters and digits.
constexpr VirtualKeyChar kOwnChars[] = {
    {vk::kMultiply, '*'}, {vk::kAdd, '+'},   {vk::kSubtract, '-'}, {vk::kDecimal, '.'},
    {vk::kDivide, '/'},   {vk::kBack, 8},    {vk::kTab, 9},        {vk::kReturn, 13},
    {vk::kEscape, 27},    {vk::kSpace, ' '},
};

// The control characters of keys other than letters, with Ctrl held.
constexpr VirtualKeyChar kControlChars[] = {
    {vk::kOem4, 27},   {vk::kEscape, 27}, {vk::kOem5, 28},  {vk::kOem6, 29},
    {vk::kReturn, 10}, {vk::kBack, 127},  {vk::kSpace, 32},
};

template <size_t N>
uint8_t CharacterOf(const VirtualKeyChar (&table)[N], int virtualKey) {
    for (const VirtualKeyChar& e : table) {
        if (e.virtualKey == virtualKey) return e.character;
    }
    return 0;
}

WindowMessage KeyMessage(MessageKind kind, const KeyFacts& facts, bool previousDown, bool alt) {
    WindowMessage m{kind};
    m.scanCode = facts.scanCode;
    m.virtualKey = facts.virtualKey;
    m.extended = facts.extended;
    m.previousDown = previousDown;
    m.altHeld = alt;
    m.character = facts.character;
    m.deadKey = facts.deadKey;
    m.unshiftedChar = facts.unshiftedChar;
    return m;
}

}  // namespace

uint8_t OwnCharacter(int virtualKey) {
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
        return static_cast<uint8_t>(virtualKey);
    }
    if (virtualKey >= vk::kNumpad0 && virtualKey <= vk::kNumpad0 + 9) {
        return static_cast<uint8_t>('0' + virtualKey - vk::kNumpad0);
    }
    return CharacterOf(kOwnChars, virtualKey);
}

uint8_t ControlCharacter(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return static_cast<uint8_t>(virtualKey - 0x40);
    return CharacterOf(kControlChars, virtualKey);
}

bool TypesWithoutTheLayout(KeyFacts* facts, bool deadKey, bool ctrl, bool alt) {
    facts->deadKey = deadKey;
    if (deadKey) return true;
    if (!ctrl || alt) return false;
    facts->character = ControlCharacter(facts->virtualKey);
    facts->hasChar = facts->character != 0;
    facts->cp437 = facts->character;
    return true;
}

KeyVks HeldVirtualKeys(const KeyFacts& facts, bool rightShift, bool altGr) {
    KeyVks vks;
    vks.vk[0] = static_cast<uint8_t>(facts.virtualKey);
    switch (facts.virtualKey) {
        case vk::kShift:
            vks.vk[1] = rightShift ? vk::kRightShift : vk::kLeftShift;
            break;
        case vk::kControl:
            vks.vk[1] = facts.extended ? vk::kRightControl : vk::kLeftControl;
            break;
        case vk::kMenu:
            vks.vk[1] = facts.extended ? vk::kRightMenu : vk::kLeftMenu;
            if (altGr) {
                vks.vk[1] = vk::kRightMenu;
                vks.vk[2] = vk::kControl;
                vks.vk[3] = vk::kLeftControl;
            }
            break;
        default:
            break;
    }
    return vks;
}

void HeldKeys::Press(int key, const KeyVks& vks) {
    keys_[key & 0xFF] = vks;
    for (uint8_t v : vks.vk) {
        if (v != 0) ++counts_[v];
    }
}

void HeldKeys::Release(int key) {
    for (uint8_t v : keys_[key & 0xFF].vk) {
        if (v != 0) counts_[v] = std::max(0, counts_[v] - 1);
    }
    keys_[key & 0xFF] = KeyVks{};
}

void HeldKeys::ReleaseAll() {
    std::fill(std::begin(counts_), std::end(counts_), 0);
    std::fill(std::begin(keys_), std::end(keys_), KeyVks{});
}

void HeldKeys::State(uint8_t state[256]) const {
    for (int i = 0; i < 256; ++i) state[i] = counts_[i] > 0 ? 0x80 : 0;
}

void DeliverKeyDown(host::MessageSink& sink, const KeyFacts& facts, bool repeat,
                    const HeldKeys& held, const bool* gone) {
    const bool alt = held.Held(vk::kMenu), ctrl = held.Held(vk::kControl);
    const bool system = (alt && !ctrl) || facts.virtualKey == vk::kF10;
    sink.Deliver(
        KeyMessage(system ? MessageKind::kSysKeyDown : MessageKind::kKeyDown, facts, repeat, alt));
    // Typed characters follow their key, as the platform's key translation
    // does; keys typed with Alt held type nothing.
    if (!system && facts.hasChar && (gone == nullptr || !*gone)) {
        WindowMessage c{MessageKind::kChar};
        c.cp437 = facts.cp437;
        sink.Deliver(c);
    }
}

void DeliverKeyUp(host::MessageSink& sink, const KeyFacts& facts, const HeldKeys& held) {
    const bool alt = held.Held(vk::kMenu), ctrl = held.Held(vk::kControl);
    const bool system =
        ((alt || facts.virtualKey == vk::kMenu) && !ctrl) || facts.virtualKey == vk::kF10;
    sink.Deliver(
        KeyMessage(system ? MessageKind::kSysKeyUp : MessageKind::kKeyUp, facts, true, alt));
}

}  // namespace gfxwin
