#include "gfxwin/window/x11/x11_host.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <vector>

#include "platform/threads.h"
#include "gfxwin/window/x11/x11_keyboard.h"
#include "gfxwin/keys/virtual_keys.h"

namespace gfxwin::x11 {

namespace {

using host::MessageKind;
using host::WindowMessage;

constexpr unsigned long kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;
constexpr int kMapWaitMs = 5000;

bool gLastUsedShm = false;
bool gRefuseShm = false;

// Protocol errors are answered by the requests that can cause them; the
// default handler would end the process. The last error code is kept for the
// shared-memory check.
int gLastErrorCode = 0;

int RecordError(Display*, XErrorEvent* error) {
    gLastErrorCode = error->error_code;
    return 0;
}

// The connection broke. Xlib calls this first and then the display's exit
// handler; both return so that the window thread can stop in order.
int QuietIOError(Display*) {
    return 0;
}

// Records of connections whose server went away (the display and its
// graphics context), kept to the end: freeing them would talk to the server.
std::vector<void*>& DeadRecords() {
    static auto* records = new std::vector<void*>();
    return *records;
}

bool NativeIsLittleEndian() {
    const uint16_t probe = 1;
    uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

// The virtual keys one key holds down: the key's own and, for Shift, Ctrl and
// Alt, the side-specific form. AltGr holds Ctrl and right Alt, as the PC does.
struct KeyVks {
    uint8_t vk[4] = {};
};

class X11Host final : public host::WindowHost {
  public:
    explicit X11Host(Display* display) : dpy_(display) {
        XSetIOErrorExitHandler(dpy_, &X11Host::OnIOErrorExit, this);
        screen_ = DefaultScreen(dpy_);
        root_ = RootWindow(dpy_, screen_);
    }

    ~X11Host() override {
        DestroyWindow();
        if (lost_) {
            // Closing would talk to the dead server again; the socket is given
            // back and the record kept until the process ends, which follows.
            close(ConnectionNumber(dpy_));
            DeadRecords().push_back(dpy_);
        } else {
            XCloseDisplay(dpy_);
        }
    }

    bool CreateWindow(const host::WindowRequest& request) override;
    void DestroyWindow() override;

    uint8_t* Picture() override { return reinterpret_cast<uint8_t*>(image_->data); }
    int32_t PicturePitch() const override { return image_->bytes_per_line; }
    host::PixelFormat Format() const override { return format_; }
    void ShowRows(int32_t first, int32_t count) override;

    void Pump(host::MessageSink& sink) override;
    bool ConnectionLost() const override { return lost_; }

    // False once the server is gone. The socket is looked at before Xlib
    // uses it, so that a server that went away is noticed here and Xlib's own
    // error path (which cannot be left cleanly) stays the rare exception.
    bool Usable();

    void KeyboardState(uint8_t state[256]) override {
        for (int i = 0; i < 256; ++i) state[i] = vkCount_[i] > 0 ? 0x80 : 0;
    }
    bool PointerInClient() override {
        return pointerInside_ && pointerX_ >= 0 && pointerY_ >= 0 && pointerX_ < width_ &&
               pointerY_ < height_;
    }

    void SetTitle(const char* title) override;
    void MoveWindow(int32_t x, int32_t y) override {
        if (!Usable() || window_ == 0) return;
        XMoveWindow(dpy_, window_, x, y);
        XFlush(dpy_);
    }
    bool WindowPosition(int32_t* x, int32_t* y) override {
        if (!positionKnown_) return false;
        *x = outerX_;
        *y = outerY_;
        return true;
    }
    void WarpPointer(int32_t x, int32_t y) override {
        if (!Usable() || window_ == 0) return;
        XWarpPointer(dpy_, None, window_, 0, 0, 0, 0, x + offsetX_, y + offsetY_);
        XFlush(dpy_);
    }
    void ShowPointer(bool visible) override;
    void ConfinePointer(bool confine) override;
    void SetFullScreen(bool fullScreen) override;

    int32_t RefreshRate() override { return 0; }
    void ScreenSize(int32_t* width, int32_t* height, int32_t* depth) override {
        *width = DisplayWidth(dpy_, screen_);
        *height = DisplayHeight(dpy_, screen_);
        *depth = DefaultDepth(dpy_, screen_);
    }

  private:
    static void OnIOErrorExit(Display*, void* self) { static_cast<X11Host*>(self)->lost_ = true; }

    bool CreatePicture(Visual* visual, int depth);
    void ReleasePicture();
    void SetSizeHints(bool fixed);
    bool WindowManagerRunning();
    void WaitForMap();
    void TakeFocus();
    void UpdatePosition(const XConfigureEvent& e);
    void Handle(XEvent& event, host::MessageSink& sink);
    void HandleKey(XKeyEvent& e, bool press, host::MessageSink& sink);
    void HandleButton(const XButtonEvent& e, bool press, host::MessageSink& sink);
    void HandleMaximize(host::MessageSink& sink);
    void RebuildKeyState(const char keys[32]);
    KeyFacts Describe(unsigned keycode, unsigned state, KeyVks* vks);
    void Press(const KeyVks& vks, int delta);
    bool Held(int vk) const { return vkCount_[vk] > 0; }

    Display* dpy_;
    int screen_ = 0;
    Window root_ = 0;
    Window window_ = 0;
    GC gc_ = nullptr;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    bool useShm_ = false;
    host::PixelFormat format_{};
    int32_t width_ = 0, height_ = 0;
    int32_t windowWidth_ = 0, windowHeight_ = 0;
    int32_t offsetX_ = 0, offsetY_ = 0;
    int32_t normalX_ = 0, normalY_ = 0;
    int32_t outerX_ = 0, outerY_ = 0;
    bool positionKnown_ = false;
    bool fullScreen_ = false;
    bool focused_ = false;
    bool lost_ = false;
    Cursor blankCursor_ = 0;
    bool confined_ = false;

    Atom wmProtocols_ = 0, wmDelete_ = 0, netWmState_ = 0, netFullScreen_ = 0;
    Atom netMaxVert_ = 0, netMaxHorz_ = 0, netWmName_ = 0, utf8String_ = 0;
    Atom netActiveWindow_ = 0, netSupportingCheck_ = 0;

    // Keyboard.
    bool evdev_ = false;
    unsigned numLockMask_ = 0;
    int vkCount_[256] = {};
    KeyVks keyVks_[256] = {};  // by keycode, what its press holds down

    // Pointer.
    bool pointerInside_ = false;
    // Pointer position in picture coordinates (the window's, less the
    // centring offset in full screen).
    int32_t pointerX_ = -1, pointerY_ = -1;
    unsigned lastPressButton_ = 0;
    Time lastPressTime_ = 0;
    int32_t lastPressX_ = 0, lastPressY_ = 0;
};

bool X11Host::CreateWindow(const host::WindowRequest& request) {
    Visual* visual = DefaultVisual(dpy_, screen_);
    const int depth = DefaultDepth(dpy_, screen_);
    if (visual->c_class != TrueColor || request.width <= 0 || request.height <= 0) return false;
    width_ = windowWidth_ = request.width;
    height_ = windowHeight_ = request.height;

    XSetErrorHandler(RecordError);
    XSetIOErrorHandler(QuietIOError);

    wmProtocols_ = XInternAtom(dpy_, "WM_PROTOCOLS", False);
    wmDelete_ = XInternAtom(dpy_, "WM_DELETE_WINDOW", False);
    netWmState_ = XInternAtom(dpy_, "_NET_WM_STATE", False);
    netFullScreen_ = XInternAtom(dpy_, "_NET_WM_STATE_FULLSCREEN", False);
    netMaxVert_ = XInternAtom(dpy_, "_NET_WM_STATE_MAXIMIZED_VERT", False);
    netMaxHorz_ = XInternAtom(dpy_, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
    netWmName_ = XInternAtom(dpy_, "_NET_WM_NAME", False);
    utf8String_ = XInternAtom(dpy_, "UTF8_STRING", False);
    netActiveWindow_ = XInternAtom(dpy_, "_NET_ACTIVE_WINDOW", False);
    netSupportingCheck_ = XInternAtom(dpy_, "_NET_SUPPORTING_WM_CHECK", False);

    // Centred on the screen (halving by an arithmetic shift, so a window larger
    // than the screen sits at a negative offset).
    normalX_ = (DisplayWidth(dpy_, screen_) - width_) >> 1;
    normalY_ = (DisplayHeight(dpy_, screen_) - height_) >> 1;

    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(dpy_, screen_);
    attributes.border_pixel = BlackPixel(dpy_, screen_);
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | EnterWindowMask | LeaveWindowMask | ExposureMask |
                            StructureNotifyMask | FocusChangeMask | KeymapStateMask |
                            PropertyChangeMask;
    window_ = XCreateWindow(dpy_, root_, normalX_, normalY_, static_cast<unsigned>(width_),
                            static_cast<unsigned>(height_), 0, depth, InputOutput, visual,
                            CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
    if (window_ == 0 || lost_) return false;

    SetSizeHints(true);
    SetTitle(request.title != nullptr ? request.title : "");
    XClassHint classHint{};
    char resourceName[] = "wellenlaenge";
    char resourceClass[] = "Wellenlaenge";
    classHint.res_name = resourceName;
    classHint.res_class = resourceClass;
    XSetClassHint(dpy_, window_, &classHint);
    XSetWMProtocols(dpy_, window_, &wmDelete_, 1);

    Bool detectable = False;
    XkbSetDetectableAutoRepeat(dpy_, True, &detectable);
    numLockMask_ = XkbKeysymToModifiers(dpy_, XK_Num_Lock);
    if (XkbDescPtr xkb = XkbAllocKeyboard()) {
        if (XkbGetNames(dpy_, XkbKeycodesNameMask, xkb) == Success && xkb->names != nullptr &&
            xkb->names->keycodes != None) {
            if (char* name = XGetAtomName(dpy_, xkb->names->keycodes)) {
                evdev_ = std::strncmp(name, "evdev", 5) == 0;
                XFree(name);
            }
        }
        XkbFreeKeyboard(xkb, 0, True);
    }

    gc_ = XCreateGC(dpy_, window_, 0, nullptr);
    if (gc_ == nullptr || !CreatePicture(visual, depth)) {
        DestroyWindow();
        return false;
    }
    XSetGraphicsExposures(dpy_, gc_, False);

    XMapRaised(dpy_, window_);
    WaitForMap();
    if (lost_) return false;
    TakeFocus();
    if (request.fullScreen) SetFullScreen(true);
    XFlush(dpy_);
    return !lost_;
}

bool X11Host::CreatePicture(Visual* visual, int depth) {
    const bool nativeOrder = (ImageByteOrder(dpy_) == LSBFirst) == NativeIsLittleEndian();
    useShm_ = false;
    if (!gRefuseShm && nativeOrder && XShmQueryExtension(dpy_)) {
        image_ =
            XShmCreateImage(dpy_, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shm_,
                            static_cast<unsigned>(width_), static_cast<unsigned>(height_));
        if (image_ != nullptr) {
            const size_t bytes =
                static_cast<size_t>(image_->bytes_per_line) * static_cast<size_t>(image_->height);
            shm_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
            if (shm_.shmid >= 0) {
                shm_.shmaddr = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
                if (shm_.shmaddr != reinterpret_cast<char*>(-1)) {
                    image_->data = shm_.shmaddr;
                    shm_.readOnly = False;
                    // A server that cannot reach our memory (another machine,
                    // another namespace) answers the attach with an error;
                    // wait for the answer before relying on it.
                    gLastErrorCode = 0;
                    const bool sent = XShmAttach(dpy_, &shm_) != 0;
                    XSync(dpy_, False);
                    useShm_ = sent && gLastErrorCode == 0 && !lost_;
                    if (!useShm_) shmdt(shm_.shmaddr);
                }
                // Removed now: it goes away once both sides have let go.
                shmctl(shm_.shmid, IPC_RMID, nullptr);
            }
            if (!useShm_) {
                image_->data = nullptr;
                XDestroyImage(image_);
                image_ = nullptr;
                shm_ = XShmSegmentInfo{};
            }
        }
    }
    gRefuseShm = false;
    if (!useShm_) {
        image_ = XCreateImage(dpy_, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                              static_cast<unsigned>(width_), static_cast<unsigned>(height_), 32, 0);
        if (image_ == nullptr) return false;
        const size_t bytes =
            static_cast<size_t>(image_->bytes_per_line) * static_cast<size_t>(image_->height);
        image_->data = static_cast<char*>(std::calloc(bytes, 1));
        if (image_->data == nullptr) {
            XDestroyImage(image_);
            image_ = nullptr;
            return false;
        }
        // The pixels are written in this machine's byte order; Xlib reorders
        // them for a server that differs.
        image_->byte_order = NativeIsLittleEndian() ? LSBFirst : MSBFirst;
    } else {
        std::memset(
            image_->data, 0,
            static_cast<size_t>(image_->bytes_per_line) * static_cast<size_t>(image_->height));
    }
    gLastUsedShm = useShm_;
    format_.bitsPerPixel = image_->bits_per_pixel;
    format_.redMask = static_cast<uint32_t>(visual->red_mask);
    format_.greenMask = static_cast<uint32_t>(visual->green_mask);
    format_.blueMask = static_cast<uint32_t>(visual->blue_mask);
    return true;
}

void X11Host::ReleasePicture() {
    if (image_ == nullptr) return;
    if (useShm_) {
        if (!lost_) {
            XShmDetach(dpy_, &shm_);
            XSync(dpy_, False);
        }
        shmdt(shm_.shmaddr);
        image_->data = nullptr;
    }
    XDestroyImage(image_);  // frees the plain image's pixels too
    image_ = nullptr;
    useShm_ = false;
}

void X11Host::DestroyWindow() {
    ReleasePicture();
    if (lost_ && gc_ != nullptr) DeadRecords().push_back(gc_);
    if (!lost_) {
        if (confined_) XUngrabPointer(dpy_, CurrentTime);
        if (gc_ != nullptr) XFreeGC(dpy_, gc_);
        if (blankCursor_ != 0) XFreeCursor(dpy_, blankCursor_);
        if (window_ != 0) XDestroyWindow(dpy_, window_);
        XFlush(dpy_);
    }
    confined_ = false;
    gc_ = nullptr;
    blankCursor_ = 0;
    window_ = 0;
}

void X11Host::SetSizeHints(bool fixed) {
    XSizeHints* hints = XAllocSizeHints();
    if (hints == nullptr) return;
    hints->flags = PMinSize | PPosition | USPosition;
    hints->x = normalX_;
    hints->y = normalY_;
    hints->min_width = width_;
    hints->min_height = height_;
    if (fixed) {
        hints->flags |= PMaxSize;
        hints->max_width = width_;
        hints->max_height = height_;
    }
    XSetWMNormalHints(dpy_, window_, hints);
    XFree(hints);
}

void X11Host::SetTitle(const char* title) {
    if (!Usable() || window_ == 0) return;
    XStoreName(dpy_, window_, title);
    XChangeProperty(dpy_, window_, netWmName_, utf8String_, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
    XFlush(dpy_);
}

bool X11Host::WindowManagerRunning() {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(dpy_, root_, netSupportingCheck_, 0, 1, False, XA_WINDOW,
                                          &type, &format, &count, &after, &data);
    const bool running = status == Success && type == XA_WINDOW && count == 1;
    if (data != nullptr) XFree(data);
    return running;
}

void X11Host::WaitForMap() {
    // The window is up once the server has mapped it; later events stay queued
    // for the first pump.
    XEvent event;
    for (int waited = 0; waited < kMapWaitMs && Usable(); waited += 10) {
        if (XCheckTypedWindowEvent(dpy_, window_, MapNotify, &event)) return;
        if (lost_) return;
        pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
        poll(&p, 1, 10);
    }
}

void X11Host::TakeFocus() {
    if (WindowManagerRunning()) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window_;
        e.xclient.message_type = netActiveWindow_;
        e.xclient.format = 32;
        e.xclient.data.l[0] = 1;  // a normal application
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    } else {
        XSetInputFocus(dpy_, window_, RevertToParent, CurrentTime);
    }
}

void X11Host::ShowRows(int32_t first, int32_t count) {
    if (!Usable() || window_ == 0 || image_ == nullptr || count <= 0) return;
    const int dx = offsetX_, dy = offsetY_ + first;
    if (useShm_) {
        XShmPutImage(dpy_, window_, gc_, image_, 0, first, dx, dy, static_cast<unsigned>(width_),
                     static_cast<unsigned>(count), False);
        // The server reads the shared pixels while it runs the request; the
        // next pass may change them, so wait until it is done.
        XSync(dpy_, False);
    } else {
        XPutImage(dpy_, window_, gc_, image_, 0, first, dx, dy, static_cast<unsigned>(width_),
                  static_cast<unsigned>(count));
        XFlush(dpy_);
    }
}

void X11Host::ShowPointer(bool visible) {
    if (!Usable() || window_ == 0) return;
    if (visible) {
        XUndefineCursor(dpy_, window_);
    } else {
        if (blankCursor_ == 0) {
            static const char kEmpty[1] = {0};
            Pixmap bitmap = XCreateBitmapFromData(dpy_, window_, kEmpty, 1, 1);
            XColor black{};
            blankCursor_ = XCreatePixmapCursor(dpy_, bitmap, bitmap, &black, &black, 0, 0);
            XFreePixmap(dpy_, bitmap);
        }
        XDefineCursor(dpy_, window_, blankCursor_);
    }
    XFlush(dpy_);
}

void X11Host::ConfinePointer(bool confine) {
    if (!Usable() || window_ == 0) return;
    if (confine) {
        confined_ =
            XGrabPointer(dpy_, window_, True,
                         ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, window_, None, CurrentTime) == GrabSuccess;
    } else if (confined_) {
        XUngrabPointer(dpy_, CurrentTime);
        confined_ = false;
    }
    XFlush(dpy_);
}

void X11Host::SetFullScreen(bool fullScreen) {
    if (!Usable() || window_ == 0 || fullScreen == fullScreen_) return;
    fullScreen_ = fullScreen;
    // The window manager may only grow the window with the limit lifted.
    SetSizeHints(!fullScreen);
    if (WindowManagerRunning()) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window_;
        e.xclient.message_type = netWmState_;
        e.xclient.format = 32;
        e.xclient.data.l[0] = fullScreen ? 1 : 0;  // add or remove
        e.xclient.data.l[1] = static_cast<long>(netFullScreen_);
        e.xclient.data.l[3] = 1;
        XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    } else if (fullScreen) {
        // Without a window manager the window covers the screen itself.
        XMoveResizeWindow(dpy_, window_, 0, 0, static_cast<unsigned>(DisplayWidth(dpy_, screen_)),
                          static_cast<unsigned>(DisplayHeight(dpy_, screen_)));
    } else {
        XMoveResizeWindow(dpy_, window_, normalX_, normalY_, static_cast<unsigned>(width_),
                          static_cast<unsigned>(height_));
    }
    XFlush(dpy_);
}

void X11Host::UpdatePosition(const XConfigureEvent& e) {
    windowWidth_ = e.width;
    windowHeight_ = e.height;
    // The picture keeps its size; a larger window shows it centred on black.
    offsetX_ = std::max(0, (windowWidth_ - width_) / 2);
    offsetY_ = std::max(0, (windowHeight_ - height_) / 2);
    if (e.send_event) {
        outerX_ = e.x;
        outerY_ = e.y;
        positionKnown_ = true;
        return;
    }
    int x = 0, y = 0;
    Window child = 0;
    if (XTranslateCoordinates(dpy_, window_, root_, 0, 0, &x, &y, &child)) {
        outerX_ = x;
        outerY_ = y;
        positionKnown_ = true;
    }
}

bool X11Host::Usable() {
    if (lost_) return false;
    const int fd = ConnectionNumber(dpy_);
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) return true;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
        lost_ = true;
    } else if (p.revents & POLLIN) {
        char byte;
        if (recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0) lost_ = true;
    }
    return !lost_;
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

void X11Host::Press(const KeyVks& vks, int delta) {
    for (uint8_t vk : vks.vk) {
        if (vk != 0) vkCount_[vk] = std::max(0, vkCount_[vk] + delta);
    }
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
    input.shift = Held(vk::kShift);
    input.ctrl = Held(vk::kControl);
    input.alt = Held(vk::kMenu);
    input.numLock = (state & numLockMask_) != 0;
    const KeyFacts facts = DescribeKey(input);
    if (vks != nullptr) {
        *vks = KeyVks{};
        vks->vk[0] = static_cast<uint8_t>(facts.virtualKey);
        switch (facts.virtualKey) {
            case vk::kShift:
                vks->vk[1] = input.level0 == XK_Shift_R ? vk::kRightShift : vk::kLeftShift;
                break;
            case vk::kControl:
                vks->vk[1] = facts.extended ? vk::kRightControl : vk::kLeftControl;
                break;
            case vk::kMenu:
                vks->vk[1] = facts.extended ? vk::kRightMenu : vk::kLeftMenu;
                if (input.level0 == XK_ISO_Level3_Shift || input.level0 == XK_Mode_switch) {
                    vks->vk[1] = vk::kRightMenu;
                    vks->vk[2] = vk::kControl;
                    vks->vk[3] = vk::kLeftControl;
                }
                break;
            default:
                break;
        }
    }
    return facts;
}

void X11Host::HandleKey(XKeyEvent& e, bool press, host::MessageSink& sink) {
    const unsigned keycode = e.keycode & 0xFF;
    KeyVks vks;
    if (press) {
        const bool repeat = keyVks_[keycode].vk[0] != 0;
        // The key counts as held while its own message is handled, as with the
        // platform keyboard state.
        Describe(keycode, e.state, &vks);
        if (!repeat) {
            keyVks_[keycode] = vks;
            Press(vks, +1);
        }
        const KeyFacts facts = Describe(keycode, e.state, nullptr);
        const bool alt = Held(vk::kMenu), ctrl = Held(vk::kControl);
        const bool system = (alt && !ctrl) || facts.virtualKey == vk::kF10;
        WindowMessage m{system ? MessageKind::kSysKeyDown : MessageKind::kKeyDown};
        m.scanCode = facts.scanCode;
        m.virtualKey = facts.virtualKey;
        m.extended = facts.extended;
        m.previousDown = repeat;
        m.altHeld = alt;
        m.character = facts.character;
        m.deadKey = facts.deadKey;
        m.unshiftedChar = facts.unshiftedChar;
        sink.Deliver(m);
        // Typed characters follow their key, as the platform's key translation
        // does; keys typed with Alt held type nothing.
        if (!system && facts.hasChar && !lost_) {
            WindowMessage c{MessageKind::kChar};
            c.cp437 = facts.cp437;
            sink.Deliver(c);
        }
        return;
    }
    const KeyFacts facts = Describe(keycode, e.state, nullptr);
    Press(keyVks_[keycode], -1);
    keyVks_[keycode] = KeyVks{};
    const bool alt = Held(vk::kMenu), ctrl = Held(vk::kControl);
    const bool system =
        ((alt || facts.virtualKey == vk::kMenu) && !ctrl) || facts.virtualKey == vk::kF10;
    WindowMessage m{system ? MessageKind::kSysKeyUp : MessageKind::kKeyUp};
    m.scanCode = facts.scanCode;
    m.virtualKey = facts.virtualKey;
    m.extended = facts.extended;
    m.previousDown = true;
    m.altHeld = alt;
    m.character = facts.character;
    m.deadKey = facts.deadKey;
    m.unshiftedChar = facts.unshiftedChar;
    sink.Deliver(m);
}

void X11Host::RebuildKeyState(const char keys[32]) {
    std::fill(std::begin(vkCount_), std::end(vkCount_), 0);
    for (KeyVks& k : keyVks_) k = KeyVks{};
    const unsigned state = 0;
    for (unsigned keycode = 8; keycode < 256; ++keycode) {
        if ((keys[keycode / 8] & (1 << (keycode % 8))) == 0) continue;
        KeyVks vks;
        Describe(keycode, state, &vks);
        if (vks.vk[0] == 0) continue;
        keyVks_[keycode] = vks;
        Press(vks, +1);
    }
}

void X11Host::HandleButton(const XButtonEvent& e, bool press, host::MessageSink& sink) {
    pointerX_ = e.x - offsetX_;
    pointerY_ = e.y - offsetY_;
    WindowMessage m{MessageKind::kButtonDown};
    m.x = pointerX_;
    m.y = pointerY_;
    m.screenX = e.x_root;
    m.screenY = e.y_root;
    switch (e.button) {
        case 1:
            m.button = host::kButtonLeft;
            break;
        case 2:
            m.button = host::kButtonMiddle;
            break;
        case 3:
            m.button = host::kButtonRight;
            break;
        case 8:
            m.button = host::kButtonExtra1;
            break;
        case 9:
            m.button = host::kButtonExtra2;
            break;
        case 4:
        case 5:
        case 6:
        case 7:
            if (!press) return;
            m.kind = e.button <= 5 ? MessageKind::kWheel : MessageKind::kHorizontalWheel;
            m.delta = (e.button == 4 || e.button == 7) ? 1 : -1;
            sink.Deliver(m);
            return;
        default:
            return;
    }
    if (!press) {
        m.kind = MessageKind::kButtonUp;
        sink.Deliver(m);
        return;
    }
    // A second press of the same button, soon and close by, is a double click;
    // the press after it starts again.
    const bool isDouble = e.button == lastPressButton_ &&
                          e.time - lastPressTime_ <= kDoubleClickMs &&
                          std::abs(e.x - lastPressX_) <= kDoubleClickSlop &&
                          std::abs(e.y - lastPressY_) <= kDoubleClickSlop;
    if (isDouble) {
        m.kind = MessageKind::kButtonDoubleClick;
        lastPressButton_ = 0;
    } else {
        lastPressButton_ = e.button;
        lastPressTime_ = e.time;
        lastPressX_ = e.x;
        lastPressY_ = e.y;
    }
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
            pointerInside_ = true;
            pointerX_ = event.xmotion.x - offsetX_;
            pointerY_ = event.xmotion.y - offsetY_;
            WindowMessage m{MessageKind::kMouseMove};
            m.x = pointerX_;
            m.y = pointerY_;
            m.screenX = event.xmotion.x_root;
            m.screenY = event.xmotion.y_root;
            sink.Deliver(m);
            break;
        }
        case EnterNotify: {
            pointerInside_ = true;
            pointerX_ = event.xcrossing.x - offsetX_;
            pointerY_ = event.xcrossing.y - offsetY_;
            WindowMessage m{MessageKind::kMouseMove};
            m.x = pointerX_;
            m.y = pointerY_;
            m.screenX = event.xcrossing.x_root;
            m.screenY = event.xcrossing.y_root;
            sink.Deliver(m);
            break;
        }
        case LeaveNotify:
            if (event.xcrossing.mode == NotifyUngrab) break;
            pointerInside_ = false;
            sink.Deliver(WindowMessage{MessageKind::kMouseLeave});
            break;
        case FocusIn:
        case FocusOut: {
            const XFocusChangeEvent& f = event.xfocus;
            if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyInferior) {
                break;
            }
            const bool in = event.type == FocusIn;
            if (in == focused_) break;
            focused_ = in;
            WindowMessage m{MessageKind::kActivate};
            m.active = in;
            sink.Deliver(m);
            break;
        }
        case KeymapNotify:
            RebuildKeyState(event.xkeymap.key_vector);
            break;
        case Expose:
            if (event.xexpose.count == 0) sink.Deliver(WindowMessage{MessageKind::kPaint});
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == window_) UpdatePosition(event.xconfigure);
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

}  // namespace

host::WindowHost* OpenX11Host() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') return nullptr;
    Display* display = XOpenDisplay(name);
    if (display == nullptr) return nullptr;
    auto* host = new (std::nothrow) X11Host(display);
    if (host == nullptr) XCloseDisplay(display);
    return host;
}

bool LastWindowUsedSharedMemory() {
    return gLastUsedShm;
}

void DisableSharedMemoryForNextWindow() {
    gRefuseShm = true;
}

}  // namespace gfxwin::x11
