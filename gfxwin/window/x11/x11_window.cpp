// The X11 host's connection and window: creation, properties, full screen,
// position and the pointer services.
#include "gfxwin/window/x11/x11_window.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "gfxwin/window/refusal.h"
#include "gfxwin/window/x11/x11_host.h"

namespace gfxwin::x11 {

namespace {

constexpr int kMapWaitMs = 5000;
constexpr int32_t kMaxWindowedScale = 8;
constexpr double kBaseDpi = 96.0;

// The last protocol error's code, for the shared-memory check; the default
// handler would end the process.
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

// The scale a variable asks for: a whole number from 1 to 8, else 0.
int32_t WholeScale(const char* text) {
    if (text == nullptr || text[0] < '1' || text[0] > '0' + kMaxWindowedScale || text[1] != '\0') {
        return 0;
    }
    return text[0] - '0';
}

// The value of one resource of the server's resource database (as xrdb
// loaded it when the connection was made), empty when it is not there.
std::string ServerResource(Display* dpy, const char* name, const char* className) {
    std::string value;
    const char* resources = XResourceManagerString(dpy);
    if (resources == nullptr) return value;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr) return value;
    char* type = nullptr;
    XrmValue found{};
    if (XrmGetResource(database, name, className, &type, &found) && found.addr != nullptr) {
        value.assign(found.addr);
    }
    XrmDestroyDatabase(database);
    return value;
}

}  // namespace

int32_t WindowedScale(const char* wlScale, const char* gdkScale, const char* xftDpi) {
    if (const int32_t k = WholeScale(wlScale)) return k;
    if (const int32_t k = WholeScale(gdkScale)) return k;
    if (xftDpi != nullptr) {
        char* end = nullptr;
        const double dpi = std::strtod(xftDpi, &end);
        if (end != xftDpi && std::isfinite(dpi)) {
            const double k = std::floor(dpi / kBaseDpi + 0.5);
            if (k >= 2) return static_cast<int32_t>(std::min<double>(k, kMaxWindowedScale));
        }
    }
    return 1;
}

int32_t FullScreenScale(int32_t screenWidth, int32_t screenHeight, int32_t pictureWidth,
                        int32_t pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return 1;
    return std::max<int32_t>(1, std::min(screenWidth / pictureWidth, screenHeight / pictureHeight));
}

int LastProtocolError() {
    return gLastErrorCode;
}

void ClearProtocolError() {
    gLastErrorCode = 0;
}

X11Host::X11Host(Display* display) : dpy_(display) {
    XSetIOErrorExitHandler(dpy_, &X11Host::OnIOErrorExit, this);
    screen_ = DefaultScreen(dpy_);
    root_ = RootWindow(dpy_, screen_);
}

X11Host::~X11Host() {
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

bool X11Host::CreateWindow(const host::WindowRequest& request) {
    Visual* visual = DefaultVisual(dpy_, screen_);
    const int depth = DefaultDepth(dpy_, screen_);
    if (visual->c_class != TrueColor) return RefuseStart("kein TrueColor-Format");
    if (request.width <= 0 || request.height <= 0) {
        return RefuseStart("Fenstergroesse %dx%d nicht moeglich", request.width, request.height);
    }
    width_ = request.width;
    height_ = request.height;

    XSetErrorHandler(RecordError);
    XSetIOErrorHandler(QuietIOError);
    InternAtoms();
    ChooseScales();
    scale_ = windowedScale_;
    windowWidth_ = width_ * scale_;
    windowHeight_ = height_ * scale_;

    // Centred on the screen (halving by an arithmetic shift, so a window larger
    // than the screen sits at a negative offset).
    normalX_ = (DisplayWidth(dpy_, screen_) - windowWidth_) >> 1;
    normalY_ = (DisplayHeight(dpy_, screen_) - windowHeight_) >> 1;

    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(dpy_, screen_);
    attributes.border_pixel = BlackPixel(dpy_, screen_);
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | EnterWindowMask | LeaveWindowMask | ExposureMask |
                            StructureNotifyMask | FocusChangeMask | KeymapStateMask |
                            PropertyChangeMask;
    window_ = XCreateWindow(dpy_, root_, normalX_, normalY_, static_cast<unsigned>(windowWidth_),
                            static_cast<unsigned>(windowHeight_), 0, depth, InputOutput, visual,
                            CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
    if (window_ == 0 || lost_) return RefuseStart("Fenster nicht erstellt");

    SetProperties(request.title != nullptr ? request.title : "");
    ReadKeyboardSetup();

    gc_ = XCreateGC(dpy_, window_, 0, nullptr);
    if (gc_ == nullptr || !CreatePicture(visual, depth)) {
        DestroyWindow();
        return RefuseStart("kein Bildspeicher fuer das Fenster");
    }
    XSetGraphicsExposures(dpy_, gc_, False);

    XMapRaised(dpy_, window_);
    WaitForMap();
    if (lost_) return RefuseStart("Verbindung zur Anzeige verloren");
    TakeFocus();
    if (request.fullScreen) SetFullScreen(true);
    XFlush(dpy_);
    if (lost_) return RefuseStart("Verbindung zur Anzeige verloren");
    return true;
}

// The windowed scale from the environment and the server's Xft.dpi, and the
// full-screen scale from the screen's size.
void X11Host::ChooseScales() {
    const std::string dpi = ServerResource(dpy_, "Xft.dpi", "Xft.Dpi");
    const char* wlScale = std::getenv("WL_SCALE");
    windowedScale_ =
        WindowedScale(wlScale, std::getenv("GDK_SCALE"), dpi.empty() ? nullptr : dpi.c_str());
    fullScreenScale_ =
        FullScreenScale(DisplayWidth(dpy_, screen_), DisplayHeight(dpy_, screen_), width_, height_);
    // The desktop's scale never makes the window larger than the screen;
    // WL_SCALE is the user's own choice and stands.
    if (WholeScale(wlScale) == 0) windowedScale_ = std::min(windowedScale_, fullScreenScale_);
}

void X11Host::InternAtoms() {
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
}

// What the window manager reads: the fixed size, the title, the class, and
// that the close button is to be asked about.
void X11Host::SetProperties(const char* title) {
    SetSizeHints(true);
    SetTitle(title);
    XClassHint classHint{};
    char resourceName[] = "wellenlaenge";
    char resourceClass[] = "Wellenlaenge";
    classHint.res_name = resourceName;
    classHint.res_class = resourceClass;
    XSetClassHint(dpy_, window_, &classHint);
    XSetWMProtocols(dpy_, window_, &wmDelete_, 1);
}

// Key releases only at the real release, the Num Lock modifier, and whether
// the server numbers its keys as evdev does.
void X11Host::ReadKeyboardSetup() {
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(dpy_, True, &detectable);
    numLockMask_ = XkbKeysymToModifiers(dpy_, XK_Num_Lock);
    XkbDescPtr xkb = XkbAllocKeyboard();
    if (xkb == nullptr) return;
    if (XkbGetNames(dpy_, XkbKeycodesNameMask, xkb) == Success && xkb->names != nullptr &&
        xkb->names->keycodes != None) {
        if (char* name = XGetAtomName(dpy_, xkb->names->keycodes)) {
            evdev_ = std::strncmp(name, "evdev", 5) == 0;
            XFree(name);
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
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
    hints->min_width = width_ * windowedScale_;
    hints->min_height = height_ * windowedScale_;
    if (fixed) {
        hints->flags |= PMaxSize;
        hints->max_width = hints->min_width;
        hints->max_height = hints->min_height;
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

void X11Host::MoveWindow(int32_t x, int32_t y) {
    if (!Usable() || window_ == 0) return;
    XMoveWindow(dpy_, window_, x, y);
    XFlush(dpy_);
}

bool X11Host::WindowPosition(int32_t* x, int32_t* y) {
    if (!positionKnown_) return false;
    *x = outerX_;
    *y = outerY_;
    return true;
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

// A request about this window to the window manager (a client message to the
// root window), with data words 0, 1 and 3.
void X11Host::SendToWindowManager(Atom type, long first, long second, long fourth) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window_;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = first;
    e.xclient.data.l[1] = second;
    e.xclient.data.l[3] = fourth;
    XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
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
        SendToWindowManager(netActiveWindow_, 1 /* a normal application */, CurrentTime, 0);
    } else {
        XSetInputFocus(dpy_, window_, RevertToParent, CurrentTime);
    }
}

void X11Host::WarpPointer(int32_t x, int32_t y) {
    if (!Usable() || window_ == 0) return;
    // To the middle of the pixel's block.
    XWarpPointer(dpy_, None, window_, 0, 0, 0, 0, x * scale_ + scale_ / 2 + offsetX_,
                 y * scale_ + scale_ / 2 + offsetY_);
    XFlush(dpy_);
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
    // Back in the window the window's own scale holds at once; the full-screen
    // scale follows the window's new size (UpdatePosition).
    if (!fullScreen) SetScale(windowedScale_);
    // The window manager may only grow the window with the limit lifted.
    SetSizeHints(!fullScreen);
    if (WindowManagerRunning()) {
        // Add (1) or remove (0) the full-screen state, as a normal application.
        SendToWindowManager(netWmState_, fullScreen ? 1 : 0, static_cast<long>(netFullScreen_), 1);
    } else if (fullScreen) {
        // Without a window manager the window covers the screen itself.
        XMoveResizeWindow(dpy_, window_, 0, 0, static_cast<unsigned>(DisplayWidth(dpy_, screen_)),
                          static_cast<unsigned>(DisplayHeight(dpy_, screen_)));
    } else {
        XMoveResizeWindow(dpy_, window_, normalX_, normalY_,
                          static_cast<unsigned>(width_ * windowedScale_),
                          static_cast<unsigned>(height_ * windowedScale_));
    }
    XFlush(dpy_);
}

void X11Host::RingBell() {
    if (!Usable()) return;
    XBell(dpy_, 0);  // at the user's bell volume
    XFlush(dpy_);
}

bool X11Host::UpdatePosition(const XConfigureEvent& e) {
    const bool resized = e.width != windowWidth_ || e.height != windowHeight_;
    windowWidth_ = e.width;
    windowHeight_ = e.height;
    if (fullScreen_ && resized) {
        // The largest scale at which the picture fits the window, which is
        // the screen once the window covers it.
        SetScale(std::min(fullScreenScale_,
                          FullScreenScale(windowWidth_, windowHeight_, width_, height_)));
    }
    PlacePicture();
    if (e.send_event) {
        outerX_ = e.x;
        outerY_ = e.y;
        positionKnown_ = true;
        return resized;
    }
    int x = 0, y = 0;
    Window child = 0;
    if (XTranslateCoordinates(dpy_, window_, root_, 0, 0, &x, &y, &child)) {
        outerX_ = x;
        outerY_ = y;
        positionKnown_ = true;
    }
    return resized;
}

void X11Host::PlacePicture() {
    // A larger window shows the picture centred on black.
    offsetX_ = std::max(0, (windowWidth_ - width_ * scale_) / 2);
    offsetY_ = std::max(0, (windowHeight_ - height_ * scale_) / 2);
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

void X11Host::ScreenSize(int32_t* width, int32_t* height, int32_t* depth) {
    *width = DisplayWidth(dpy_, screen_);
    *height = DisplayHeight(dpy_, screen_);
    *depth = DefaultDepth(dpy_, screen_);
}

host::WindowHost* OpenX11Host() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') {
        DeclineStart("keine Anzeige: DISPLAY ist nicht gesetzt");
        return nullptr;
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        RefuseStart("Anzeige \"%s\" nicht erreichbar", name);
        return nullptr;
    }
    auto* host = new (std::nothrow) X11Host(display);
    if (host == nullptr) {
        XCloseDisplay(display);
        RefuseStart("kein Speicher fuer die Verbindung zur Anzeige");
    }
    return host;
}

}  // namespace gfxwin::x11
