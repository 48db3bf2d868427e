#include "gfxwin/window/window_proc.h"

#include <cstring>

#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/keys/key_translation.h"
#include "gfxwin/keys/virtual_keys.h"
#include "gfxwin/window/presentation.h"

namespace gfxwin {

namespace {

using host::MessageKind;
using host::WindowMessage;

constexpr int kExtraButtons = host::kButtonExtra1 | host::kButtonExtra2;

// The event a message leaves to be recorded, if any.
struct PendingEvent {
    bool set = false;
    WindowEvent event{};

    void Set(int32_t kind, int32_t a = 0, int32_t b = 0, int32_t c = 0, int32_t d = 0) {
        set = true;
        event = WindowEvent{kind, {a, b, c, d}};
    }
};

void Record(WindowState& ws, int32_t kind) {
    if (ws.screen != nullptr) PostWindowEvent(*ws.screen, WindowEvent{kind, {0, 0, 0, 0}});
}

bool Down(const uint8_t state[256], int vk) {
    return (state[vk] & 0x80) != 0;
}

// After the posting, these keys end the message: F10 and Alt do nothing in the
// window, and Alt+F4 leaves the closing to the program.
bool EndsKeyMessage(int virtualKey, int32_t code) {
    return virtualKey == vk::kF10 || virtualKey == vk::kMenu || code == kCloseCode;
}

void KeyEvent(PendingEvent& pending, int32_t kind, const WindowMessage& m, int32_t code) {
    const auto unsignedCode = static_cast<uint32_t>(code);
    pending.Set(kind, ScanCodeOfVirtualKey(m.virtualKey),
                unsignedCode <= 255 ? static_cast<int32_t>(unsignedCode) : 0);
}

void CharacterPath(const WindowMessage& m) {
    // Bytes 128..255 go into the buffer as -128..-1; 0 stays 0 (no key).
    const int32_t code = m.cp437 == 0 ? 0 : static_cast<int32_t>(static_cast<int8_t>(m.cp437));
    for (int i = 0; i < m.repeatCount; ++i) PostKey(code);
}

void MouseEnterStep(WindowState& ws, MouseState& mouse, PendingEvent& pending) {
    if (mouse.tracked || !ws.active) return;
    mouse.tracked = true;
    pending.Set(kEventMouseEnter);
    if (mouse.clip) ws.host->ConfinePointer(true);
}

void Activation(WindowState& ws, MouseState& mouse, const WindowMessage& m, PendingEvent& pending) {
    const bool active = m.active && !m.minimized;
    ws.active = active;
    if (ws.screen != nullptr) {
        if (ws.screen->keyStates != nullptr) std::memset(ws.screen->keyStates, 0, kKeyStateCount);
        MarkRowsDirty(*ws.screen, 0, ws.height);
    }
    mouse.buttons = 0;
    if (active) {
        Record(ws, kEventFocusGained);
        if (mouse.inside) {
            MouseEnterStep(ws, mouse, pending);
        } else if (mouse.clip) {
            ws.host->ConfinePointer(true);
        }
        return;
    }
    if (mouse.tracked) {
        Record(ws, kEventMouseExit);
        mouse.tracked = false;
    }
    if (!(m.active && m.minimized)) Record(ws, kEventFocusLost);
    if (mouse.clip) ws.host->ConfinePointer(false);
}

void MouseMove(WindowState& ws, MouseState& mouse, const WindowMessage& m, PendingEvent& pending) {
    mouse.x = m.x & 0xFFFF;
    mouse.y = m.y & 0xFFFF;
    int32_t dx = 0, dy = 0;
    if (mouse.lastX != kNoPointerPosition) {
        dx = m.screenX - mouse.lastX;
        dy = m.screenY - mouse.lastY;
    }
    mouse.lastX = m.screenX;
    mouse.lastY = m.screenY;
    if ((dx != 0 || dy != 0) && ws.active) {
        pending.Set(kEventMouseMove, mouse.x, mouse.y, dx, dy);
    }
    MouseEnterStep(ws, mouse, pending);
}

void ButtonDown(MouseState& mouse, const WindowMessage& m, PendingEvent& pending) {
    const int32_t kind =
        m.kind == MessageKind::kButtonDoubleClick ? kEventDoubleClick : kEventButtonPress;
    if (m.button & kExtraButtons) {
        mouse.previousButtons = mouse.buttons;
        mouse.buttons |= m.button & kExtraButtons;
        pending.Set(kind, mouse.buttons & ~mouse.previousButtons & kExtraButtons);
        return;
    }
    mouse.buttons |= m.button;
    pending.Set(kind, m.button);
}

void ButtonUp(MouseState& mouse, const WindowMessage& m, PendingEvent& pending) {
    if (m.button & kExtraButtons) {
        mouse.previousButtons = mouse.buttons;
        mouse.buttons &= ~(m.button & kExtraButtons);
        pending.Set(kEventButtonRelease, mouse.previousButtons & ~mouse.buttons & kExtraButtons);
        return;
    }
    mouse.buttons &= ~m.button;
    pending.Set(kEventButtonRelease, m.button);
}

// The kinds come in groups: keys, the window, the pointer (window_host.h).
bool IsKeyMessage(MessageKind kind) {
    return kind <= MessageKind::kChar;
}

bool IsPointerMessage(MessageKind kind) {
    return kind >= MessageKind::kMouseMove;
}

// Keys and typed characters.
bool OnKey(WindowState& ws, MouseState& mouse, const WindowMessage& m, PendingEvent& pending) {
    switch (m.kind) {
        case MessageKind::kChar:
            CharacterPath(m);
            return true;
        case MessageKind::kSysKeyUp:
            return true;
        case MessageKind::kSysKeyDown:
            if (!ws.active) return true;
            if (m.virtualKey == vk::kReturn && m.altHeld) {
                ToggleFullScreen(ws, mouse);
                return false;
            }
            break;
        default:
            break;
    }
    const int32_t code = KeyCodeOf(ws, m);
    // A key down posts its extended code once per repeat; characters come
    // through the character path, and with Alt held (a system key) the key
    // types nothing.
    if (m.kind == MessageKind::kKeyDown && code > 255) {
        for (int i = 0; i < m.repeatCount; ++i) PostKey(code);
    }
    if (EndsKeyMessage(m.virtualKey, code)) return false;
    const int32_t kind = m.kind != MessageKind::kKeyDown ? kEventKeyRelease
                         : m.previousDown                ? kEventKeyRepeat
                                                         : kEventKeyPress;
    KeyEvent(pending, kind, m, code);
    return true;
}

// The pointer, its buttons and wheels.
bool OnPointer(WindowState& ws, MouseState& mouse, const WindowMessage& m, PendingEvent& pending) {
    switch (m.kind) {
        case MessageKind::kMouseMove:
            MouseMove(ws, mouse, m, pending);
            return true;
        case MessageKind::kMouseLeave:
            if (!ws.active) return true;
            pending.Set(kEventMouseExit);
            mouse.tracked = false;
            return false;
        case MessageKind::kButtonDown:
        case MessageKind::kButtonDoubleClick:
            ButtonDown(mouse, m, pending);
            return true;
        case MessageKind::kButtonUp:
            ButtonUp(mouse, m, pending);
            return true;
        case MessageKind::kWheel:
            mouse.wheel += m.delta <= 0 ? -1 : 1;
            pending.Set(kEventWheel, mouse.wheel);
            return true;
        case MessageKind::kHorizontalWheel:
            mouse.horizontalWheel += m.delta <= 0 ? -1 : 1;
            pending.Set(kEventHorizontalWheel, mouse.horizontalWheel);
            return true;
        default:
            return true;
    }
}

// The window itself: closing, activation, maximising, painting.
bool OnWindow(WindowState& ws, MouseState& mouse, const WindowMessage& m, PendingEvent& pending) {
    switch (m.kind) {
        case MessageKind::kClose:
            // The window stays open: the program decides what closing means.
            PostKey(kCloseCode);
            pending.Set(kEventClose);
            return false;
        case MessageKind::kActivate:
            Activation(ws, mouse, m, pending);
            return false;
        case MessageKind::kMaximize:
            if (!ws.active) return true;
            ToggleFullScreen(ws, mouse);
            return false;
        case MessageKind::kPaint:
            PaintWindow(ws);
            return true;
        case MessageKind::kDisplayChange:
            PaintWindow(ws);
            if (ws.screen != nullptr) MarkAllRowsDirty(*ws.screen);
            return true;
        default:
            return true;
    }
}

}  // namespace

int32_t KeyCodeOf(WindowState& ws, const WindowMessage& m) {
    uint8_t state[256] = {};
    ws.host->KeyboardState(state);
    KeyModifiers mods;
    mods.shift =
        Down(state, vk::kShift) || Down(state, vk::kLeftShift) || Down(state, vk::kRightShift);
    mods.leftCtrl = Down(state, vk::kControl) || Down(state, vk::kLeftControl);
    mods.rightCtrl = Down(state, vk::kRightControl);
    mods.leftAlt = Down(state, vk::kMenu) || Down(state, vk::kLeftMenu);
    mods.rightAlt = Down(state, vk::kRightMenu);
    mods.extended = m.extended;
    const uint8_t character = m.deadKey ? 0 : m.character;
    return TranslateKey(character, m.scanCode & 0xFF, m.virtualKey, m.unshiftedChar, mods);
}

void ToggleFullScreen(WindowState& ws, MouseState& mouse) {
    if (mouse.tracked) Record(ws, kEventMouseExit);
    if (ws.flags & kScreenNoSwitch) return;
    if (mouse.clip) ws.host->ConfinePointer(false);
    ws.flags ^= kScreenFullScreen;
    ws.host->SetFullScreen((ws.flags & kScreenFullScreen) != 0);
    // Everything is shown again: the palette and the whole frame.
    if (ws.screen != nullptr) {
        if (ws.screen->devicePalette != nullptr) {
            for (int i = 0; i < kPaletteSize; ++i) {
                const uint32_t c = ws.screen->devicePalette[i];
                SetPaletteCopyEntry(ws, i, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
            }
        }
        MarkAllRowsDirty(*ws.screen);
    }
    mouse.tracked = false;
    ws.active = true;
}

bool WindowProcedure(WindowState& ws, MouseState& mouse, const WindowMessage& m) {
    mouse.inside = ws.host->PointerInClient();
    PendingEvent pending;
    const bool defaultHandling = IsKeyMessage(m.kind)       ? OnKey(ws, mouse, m, pending)
                                 : IsPointerMessage(m.kind) ? OnPointer(ws, mouse, m, pending)
                                                            : OnWindow(ws, mouse, m, pending);
    // The event is recorded before the window system's own handling.
    if (pending.set && ws.screen != nullptr) PostWindowEvent(*ws.screen, pending.event);
    return defaultHandling;
}

}  // namespace gfxwin
