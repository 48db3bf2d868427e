// The X11 host's events, turned into WindowMessages, and the keyboard and
// pointer state they leave behind.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>

#include "gfxwin/keys/virtual_keys.h"
#include "gfxwin/window/x11/x11_window.h"

namespace gfxwin::x11 {

namespace {

using host::MessageKind;
using host::WindowMessage;

constexpr unsigned long kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;  // picture pixels

// The button bit of an X button (1 left, 2 middle, 3 right, 8 and 9 the extra
// buttons); 0 for the wheels and others.
int ButtonBit(unsigned button) {
    switch (button) {
        case 1:
            return host::kButtonLeft;
        case 2:
            return host::kButtonMiddle;
        case 3:
            return host::kButtonRight;
        case 8:
            return host::kButtonExtra1;
        case 9:
            return host::kButtonExtra2;
        default:
            return 0;
    }
}

// a / b rounded down (b > 0).
int32_t FloorDivide(int32_t a, int32_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

int32_t X11Host::PictureX(int windowX) const {
    return FloorDivide(windowX - offsetX_, scale_);
}

int32_t X11Host::PictureY(int windowY) const {
    return FloorDivide(windowY - offsetY_, scale_);
}

void X11Host::Pump(host::MessageSink& sink) {
    if (!Usable()) return;
    while (!lost_ && XPending(dpy_) > 0 && !lost_) {
        XEvent event;
        XNextEvent(dpy_, &event);
        if (lost_) return;
        Handle(event, sink);
    }
}

void X11Host::KeyboardState(uint8_t state[256]) {
    held_.State(state);
}

bool X11Host::PointerInClient() {
    return pointerInside_ && pointerX_ >= 0 && pointerY_ >= 0 && pointerX_ < width_ &&
           pointerY_ < height_;
}

KeyFacts X11Host::Describe(unsigned keycode, unsigned state, KeyVks* vks) {
    KeyInput input;
    input.keycode = static_cast<int>(keycode);
    input.evdev = evdev_;
    const unsigned group = (state >> 13) & 3;
    const auto code = static_cast<KeyCode>(keycode);
    input.level0 = XkbKeycodeToKeysym(dpy_, code, static_cast<int>(group), 0);
    input.level1 = XkbKeycodeToKeysym(dpy_, code, static_cast<int>(group), 1);
    if (input.level0 == NoSymbol && group != 0) {
        input.level0 = XkbKeycodeToKeysym(dpy_, code, 0, 0);
        input.level1 = XkbKeycodeToKeysym(dpy_, code, 0, 1);
    }
    KeySym effective = NoSymbol;
    unsigned consumed = 0;
    if (!XkbLookupKeySym(dpy_, code, state, &consumed, &effective)) effective = NoSymbol;
    input.effective = effective;
    input.shift = held_.Held(vk::kShift);
    input.ctrl = held_.Held(vk::kControl);
    input.alt = held_.Held(vk::kMenu);
    input.numLock = (state & numLockMask_) != 0;
    const KeyFacts facts = DescribeKey(input);
    if (vks != nullptr) {
        *vks =
            HeldVirtualKeys(facts, input.level0 == XK_Shift_R,
                            input.level0 == XK_ISO_Level3_Shift || input.level0 == XK_Mode_switch);
    }
    return facts;
}

void X11Host::HandleKey(XKeyEvent& e, bool press, host::MessageSink& sink) {
    const unsigned keycode = e.keycode & 0xFF;
    if (press) {
        const bool repeat = held_.Holds(static_cast<int>(keycode));
        // The key counts as held while its own message is handled, as with the
        // platform keyboard state.
        KeyVks vks;
        Describe(keycode, e.state, &vks);
        if (!repeat) held_.Press(static_cast<int>(keycode), vks);
        DeliverKeyDown(sink, Describe(keycode, e.state, nullptr), repeat, held_, &lost_);
        return;
    }
    const KeyFacts facts = Describe(keycode, e.state, nullptr);
    held_.Release(static_cast<int>(keycode));
    DeliverKeyUp(sink, facts, held_);
}

void X11Host::RebuildKeyState(const char keys[32]) {
    held_.ReleaseAll();
    const unsigned state = 0;
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        if ((keys[keycode / 8] & (1 << (keycode % 8))) == 0) continue;
        KeyVks vks;
        Describe(keycode, state, &vks);
        if (vks.vk[0] != 0) held_.Press(static_cast<int>(keycode), vks);
    }
}

void X11Host::HandleButton(const XButtonEvent& e, bool press, host::MessageSink& sink) {
    pointerX_ = PictureX(e.x);
    pointerY_ = PictureY(e.y);
    WindowMessage m{press ? MessageKind::kButtonDown : MessageKind::kButtonUp};
    m.x = pointerX_;
    m.y = pointerY_;
    m.screenX = FloorDivide(e.x_root, scale_);
    m.screenY = FloorDivide(e.y_root, scale_);
    m.button = ButtonBit(e.button);
    if (e.button >= 4 && e.button <= 7) {
        // The wheels: 4 up, 5 down, 6 left, 7 right; each step is one press.
        if (!press) return;
        m.kind = e.button <= 5 ? MessageKind::kWheel : MessageKind::kHorizontalWheel;
        m.delta = (e.button == 4 || e.button == 7) ? 1 : -1;
        sink.Deliver(m);
        return;
    }
    if (m.button == 0) return;
    if (press) {
        // A second press of the same button, soon and close by, is a double
        // click; the press after it starts again.
        const bool isDouble = e.button == lastPressButton_ &&
                              e.time - lastPressTime_ <= kDoubleClickMs &&
                              std::abs(e.x - lastPressX_) <= kDoubleClickSlop * scale_ &&
                              std::abs(e.y - lastPressY_) <= kDoubleClickSlop * scale_;
        if (isDouble) {
            m.kind = MessageKind::kButtonDoubleClick;
            lastPressButton_ = 0;
        } else {
            lastPressButton_ = e.button;
            lastPressTime_ = e.time;
            lastPressX_ = e.x;
            lastPressY_ = e.y;
        }
    }
    sink.Deliver(m);
}

void X11Host::HandleFocus(const XFocusChangeEvent& f, host::MessageSink& sink) {
    if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyInferior) return;
    const bool in = f.type == FocusIn;
    if (in == focused_) return;
    focused_ = in;
    WindowMessage m{MessageKind::kActivate};
    m.active = in;
    sink.Deliver(m);
}

void X11Host::HandleMaximize(host::MessageSink& sink) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy_, window_, netWmState_, 0, 64, False, XA_ATOM, &type, &format,
                           &count, &after, &data) != Success) {
        return;
    }
    bool maximized = false, full = false;
    if (type == XA_ATOM && format == 32 && data != nullptr) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            if (atoms[i] == netMaxVert_ || atoms[i] == netMaxHorz_) maximized = true;
            if (atoms[i] == netFullScreen_) full = true;
        }
    }
    if (data != nullptr) XFree(data);
    if (maximized && !full && !fullScreen_) sink.Deliver(WindowMessage{MessageKind::kMaximize});
}

// The pointer moved within the window, or entered it, at window position
// (x, y) and screen position (rootX, rootY). The screen position goes on in
// steps of one picture pixel, so that the movement a move reports is the
// picture's, at any scale.
void X11Host::PointerMoved(int x, int y, int rootX, int rootY, host::MessageSink& sink) {
    pointerInside_ = true;
    pointerX_ = PictureX(x);
    pointerY_ = PictureY(y);
    WindowMessage m{MessageKind::kMouseMove};
    m.x = pointerX_;
    m.y = pointerY_;
    m.screenX = FloorDivide(rootX, scale_);
    m.screenY = FloorDivide(rootY, scale_);
    sink.Deliver(m);
}

void X11Host::Handle(XEvent& event, host::MessageSink& sink) {
    switch (event.type) {
        case KeyPress:
        case KeyRelease:
            HandleKey(event.xkey, event.type == KeyPress, sink);
            break;
        case ButtonPress:
        case ButtonRelease:
            HandleButton(event.xbutton, event.type == ButtonPress, sink);
            break;
        case MotionNotify: {
            const XMotionEvent& e = event.xmotion;
            PointerMoved(e.x, e.y, e.x_root, e.y_root, sink);
            break;
        }
        case EnterNotify: {
            const XCrossingEvent& e = event.xcrossing;
            PointerMoved(e.x, e.y, e.x_root, e.y_root, sink);
            break;
        }
        case LeaveNotify:
            if (event.xcrossing.mode == NotifyUngrab) break;
            pointerInside_ = false;
            sink.Deliver(WindowMessage{MessageKind::kMouseLeave});
            break;
        case FocusIn:
        case FocusOut:
            HandleFocus(event.xfocus, sink);
            break;
        case KeymapNotify:
            RebuildKeyState(event.xkeymap.key_vector);
            break;
        case Expose:
            if (event.xexpose.count == 0) sink.Deliver(WindowMessage{MessageKind::kPaint});
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == window_ && UpdatePosition(event.xconfigure)) {
                // The size changed, and with it the picture's place: rows
                // shown before this notice may stand at the old place. The
                // window is cleared to black and shown whole again.
                XClearWindow(dpy_, window_);
                sink.Deliver(WindowMessage{MessageKind::kPaint});
            }
            break;
        case ClientMessage:
            if (event.xclient.message_type == wmProtocols_ && event.xclient.format == 32 &&
                static_cast<Atom>(event.xclient.data.l[0]) == wmDelete_) {
                sink.Deliver(WindowMessage{MessageKind::kClose});
            }
            break;
        case PropertyNotify:
            if (event.xproperty.atom == netWmState_) HandleMaximize(sink);
            break;
        case MappingNotify:
            XRefreshKeyboardMapping(&event.xmapping);
            numLockMask_ = XkbKeysymToModifiers(dpy_, XK_Num_Lock);
            break;
        default:
            break;
    }
}

}  // namespace gfxwin::x11
