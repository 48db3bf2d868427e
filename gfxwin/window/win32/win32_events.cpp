// The Win32 window host's window procedure: each window message turned into a
// neutral WindowMessage for the window layer, with the key and character
// translation, and what the window needs done around it (mouse capture, leave
// reports, size limits, the cursor shape).
#include "gfxwin/window/win32/win32_window.h"

namespace gfxwin::win32 {

namespace {

using host::MessageKind;
using host::WindowMessage;

constexpr UINT_PTR kLeaveTimer = 2;
constexpr UINT kLeaveTimerMs = 100;
constexpr int kVersion5 = 0x500;
constexpr int kVersion4_10 = 0x40A;

}  // namespace

void Win32Window::Pump(host::MessageSink& sink) {
    sink_ = &sink;
    DrainQueue();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DrainQueue();
    sink_ = nullptr;
}

LRESULT CALLBACK Win32Window::WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(l);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(hwnd, message, w, l);
    return self->Handle(hwnd, message, w, l);
}

void Win32Window::Queue(const WindowMessage& m) {
    if (queueCount_ == kQueuedMessages) {  // full: the oldest is dropped
        queueHead_ = (queueHead_ + 1) % kQueuedMessages;
        --queueCount_;
    }
    queue_[(queueHead_ + queueCount_) % kQueuedMessages] = m;
    ++queueCount_;
}

void Win32Window::DrainQueue() {
    while (queueCount_ > 0 && sink_ != nullptr && !delivering_) {
        const WindowMessage m = queue_[queueHead_];
        queueHead_ = (queueHead_ + 1) % kQueuedMessages;
        --queueCount_;
        delivering_ = true;
        const host::MessageResult result = sink_->Deliver(m);
        delivering_ = false;
        AfterDelivery(result);
    }
}

bool Win32Window::Deliver(const WindowMessage& m) {
    if (sink_ == nullptr || delivering_) {
        Queue(m);
        return true;
    }
    delivering_ = true;
    const host::MessageResult result = sink_->Deliver(m);
    delivering_ = false;
    AfterDelivery(result);
    DrainQueue();
    return result.defaultHandling;
}

// Keeps the window layer's answer; when it wants the pointer's leaving (it saw
// the pointer enter), the system is asked to report it.
void Win32Window::AfterDelivery(const host::MessageResult& result) {
    pointer_ = result;
    if (hwnd_ == nullptr) return;
    if (!result.watchLeave) {
        if (leaveRequested_ && useLeaveTimer_) {
            KillTimer(hwnd_, kLeaveTimer);
            leaveRequested_ = false;
        }
        return;
    }
    if (leaveRequested_) return;
    if (useLeaveTimer_) {
        SetTimer(hwnd_, kLeaveTimer, kLeaveTimerMs, nullptr);
    } else {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        entries_.trackMouseEvent(&track);
    }
    leaveRequested_ = true;
}

WindowMessage Win32Window::KeyMessage(MessageKind kind, WPARAM w, LPARAM l, bool release) {
    WindowMessage m{kind};
    const auto bits = static_cast<uint32_t>(l);
    m.virtualKey = static_cast<int>(w & 0xFFFF);
    m.scanCode = static_cast<int>((bits >> 16) & 0xFF);
    m.extended = (bits >> 24) & 1;
    m.repeatCount = static_cast<int>(bits & 0xFFFF);
    m.previousDown = (bits >> 30) & 1;
    m.altHeld = (bits >> 29) & 1;
    // The key's own character (MapVirtualKeyA type 2): uppercase for letters,
    // the top bit marks a dead key.
    const UINT mapped = MapVirtualKeyA(static_cast<UINT>(m.virtualKey), MAPVK_VK_TO_CHAR);
    m.deadKey = static_cast<int32_t>(mapped) < 0;
    m.unshiftedChar = (mapped & 0xFFFF) <= 255 ? static_cast<uint8_t>(mapped & 0xFF) : 0;
    if (!m.deadKey) {
        BYTE state[256];
        WORD typed = 0;
        const UINT scan = static_cast<UINT>(m.scanCode) | (release ? 0x8000u : 0u);
        if (GetKeyboardState(state) &&
            ToAscii(static_cast<UINT>(m.virtualKey), scan, state, &typed, 0) == 1) {
            m.character = static_cast<uint8_t>(typed & 0xFF);
        }
    }
    return m;
}

// The character path: the window's ANSI byte through UTF-16 into code page
// 437. False when the message is not a character the program takes.
bool Win32Window::CharMessage(WPARAM w, LPARAM l, WindowMessage* m) {
    if (w > 255) return false;
    *m = WindowMessage{MessageKind::kChar};
    m->repeatCount = static_cast<int>(static_cast<uint32_t>(l) & 0xFFFF);
    if (w == 0) return true;  // the code 0, which readers drop
    // One byte makes at most two UTF-16 units, and they at most two bytes.
    const char ansi = static_cast<char>(w);
    wchar_t wide[2];
    const int wideCount = MultiByteToWideChar(CP_ACP, 0, &ansi, 1, wide, 2);
    if (wideCount <= 0) return true;
    char narrow[2];
    if (WideCharToMultiByte(437, 0, wide, wideCount, narrow, 2, nullptr, nullptr) > 0) {
        m->cp437 = static_cast<uint8_t>(narrow[0]);
    }
    return true;
}

// Keys and characters, the mouse, and the rest; a result ends the message
// without default processing.
LRESULT Win32Window::Handle(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    std::optional<LRESULT> result;
    if (message >= WM_KEYDOWN && message <= WM_SYSKEYUP) {
        result = OnKeyboard(message, w, l);
    } else if (message >= WM_MOUSEMOVE && message <= WM_MOUSEHWHEEL) {
        result = OnMouse(hwnd, message, w, l);
    } else {
        result = OnWindowMessage(hwnd, message, w, l);
    }
    return result ? *result : DefWindowProcA(hwnd, message, w, l);
}

// Keys and characters.
std::optional<LRESULT> Win32Window::OnKeyboard(UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CHAR) {
        WindowMessage m;
        if (CharMessage(w, l, &m)) Deliver(m);
        return std::nullopt;
    }
    if (message == WM_DEADCHAR) return std::nullopt;
    const MessageKind kind = message == WM_KEYDOWN      ? MessageKind::kKeyDown
                             : message == WM_KEYUP      ? MessageKind::kKeyUp
                             : message == WM_SYSKEYDOWN ? MessageKind::kSysKeyDown
                                                        : MessageKind::kSysKeyUp;
    const bool release = message == WM_KEYUP || message == WM_SYSKEYUP;
    if (!Deliver(KeyMessage(kind, w, l, release))) return 0;
    return std::nullopt;
}

// The mouse buttons: a press captures the mouse, the release of the last held
// button lets it go. The extra buttons need Windows 2000 or later.
std::optional<LRESULT> Win32Window::OnButton(HWND hwnd, UINT message, WPARAM w) {
    const bool extra =
        message == WM_XBUTTONDOWN || message == WM_XBUTTONDBLCLK || message == WM_XBUTTONUP;
    if (extra && version_ < kVersion5) return std::nullopt;
    const bool up = message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP ||
                    message == WM_XBUTTONUP;
    const bool twice = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK ||
                       message == WM_MBUTTONDBLCLK || message == WM_XBUTTONDBLCLK;
    WindowMessage m{up      ? MessageKind::kButtonUp
                    : twice ? MessageKind::kButtonDoubleClick
                            : MessageKind::kButtonDown};
    if (extra) {
        // The extra buttons down now; for a release, the ones no longer down.
        const WORD keys = GET_KEYSTATE_WPARAM(w);
        const bool first = (keys & MK_XBUTTON1) != 0, second = (keys & MK_XBUTTON2) != 0;
        m.button =
            (first != up ? host::kButtonExtra1 : 0) | (second != up ? host::kButtonExtra2 : 0);
    } else {
        m.button =
            (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_LBUTTONUP)
                ? host::kButtonLeft
            : (message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK || message == WM_RBUTTONUP)
                ? host::kButtonRight
                : host::kButtonMiddle;
    }
    if (!up) SetCapture(hwnd);
    Deliver(m);
    if (up && !pointer_.buttonHeld && GetCapture() == hwnd) ReleaseCapture();
    return std::nullopt;
}

// The mouse messages: movement, wheels, buttons.
std::optional<LRESULT> Win32Window::OnMouse(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_MOUSEMOVE: {
            WindowMessage m{MessageKind::kMouseMove};
            m.x = LOWORD(l);
            m.y = HIWORD(l);
            POINT cursor{};
            GetCursorPos(&cursor);
            m.screenX = cursor.x;
            m.screenY = cursor.y;
            Deliver(m);
            return std::nullopt;
        }
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: {
            const bool horizontal = message == WM_MOUSEHWHEEL;
            if (version_ < (horizontal ? kVersion5 : kVersion4_10)) return std::nullopt;
            WindowMessage m{horizontal ? MessageKind::kHorizontalWheel : MessageKind::kWheel};
            m.delta = static_cast<int32_t>(static_cast<uint32_t>(w));
            Deliver(m);
            return std::nullopt;
        }
        default:
            return OnButton(hwnd, message, w);
    }
}

// What the window does for the pointer: its leaving, its shape, its freeing
// while the window moves.
std::optional<LRESULT> Win32Window::OnPointerService(HWND hwnd, UINT message, WPARAM w) {
    switch (message) {
        case WM_MOUSELEAVE:
            leaveRequested_ = false;
            if (!Deliver(WindowMessage{MessageKind::kMouseLeave})) return 0;
            return std::nullopt;
        case WM_TIMER:
            if (w != kLeaveTimer) return std::nullopt;
            OnLeaveTimer(hwnd);
            return 0;
        case WM_SETCURSOR: {
            const bool hide = !pointerVisible_ && PointerInClient();
            SetCursor(hide ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
            return TRUE;
        }
        case WM_MOVING:
            if (confined_) ClipCursor(nullptr);
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

// Without TrackMouseEvent: the pointer has left when it is outside the client
// area or over another window.
void Win32Window::OnLeaveTimer(HWND hwnd) {
    RECT client;
    ClientRectOnScreen(&client);
    POINT cursor{};
    GetCursorPos(&cursor);
    if (!PtInRect(&client, cursor) || WindowFromPoint(cursor) != hwnd) {
        KillTimer(hwnd, kLeaveTimer);
        PostMessageA(hwnd, WM_MOUSELEAVE, 0, 0);
    }
}

// The window itself: closing, activation, size, painting.
std::optional<LRESULT> Win32Window::OnWindowMessage(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_CLOSE:
            // Only the close code: the program decides when the window goes.
            Deliver(WindowMessage{MessageKind::kClose});
            return 0;
        case WM_ACTIVATE: {
            WindowMessage m{MessageKind::kActivate};
            m.active = LOWORD(w) != WA_INACTIVE;
            m.minimized = HIWORD(w) != 0;
            active_ = m.active && !m.minimized;
            Deliver(m);
            return 0;
        }
        case WM_SIZE:
            if (w == SIZE_MAXIMIZED && !Deliver(WindowMessage{MessageKind::kMaximize})) return 0;
            return std::nullopt;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hwnd, &paint);
            Deliver(WindowMessage{MessageKind::kPaint});
            AfterPaint(hwnd);
            EndPaint(hwnd, &paint);
            return std::nullopt;
        }
        case WM_DISPLAYCHANGE:
            Deliver(WindowMessage{MessageKind::kDisplayChange});
            return std::nullopt;
        case WM_GETMINMAXINFO: {
            // The window cannot be resized.
            auto* info = reinterpret_cast<MINMAXINFO*>(l);
            const POINT size{outerWidth_, outerHeight_};
            info->ptMaxSize = size;
            info->ptMinTrackSize = size;
            info->ptMaxTrackSize = size;
            return 0;
        }
        case WM_WINDOWPOSCHANGED:
            if (hwnd == hwnd_) NotePosition();
            return std::nullopt;
        default:
            return OnPointerService(hwnd, message, w);
    }
}

}  // namespace gfxwin::win32
