// The X11 window host, private to this folder: one class whose parts live in
//   x11_window.cpp   the connection, the window, its properties, full screen,
//                    the pointer services;
//   x11_picture.cpp  the picture (an XImage, in shared memory when the server
//                    offers it), its scaling, and showing its rows;
//   x11_events.cpp   the events, turned into WindowMessages, and the keyboard
//                    state they leave.
// Every member runs on the window thread.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

#include "gfxwin/window/window_host.h"
#include "gfxwin/window/x11/x11_keyboard.h"

namespace gfxwin::x11 {

// The code of the last protocol error since the last ClearProtocolError (0:
// none). Protocol errors are answered by the requests that can cause them.
int LastProtocolError();
void ClearProtocolError();

class X11Host final : public host::WindowHost {
  public:
    explicit X11Host(Display* display);
    ~X11Host() override;
    X11Host(const X11Host&) = delete;
    X11Host& operator=(const X11Host&) = delete;

    // x11_window.cpp
    bool CreateWindow(const host::WindowRequest& request) override;
    void DestroyWindow() override;
    bool ConnectionLost() const override { return lost_; }
    void SetTitle(const char* title) override;
    void MoveWindow(int32_t x, int32_t y) override;
    bool WindowPosition(int32_t* x, int32_t* y) override;
    void WarpPointer(int32_t x, int32_t y) override;
    void ShowPointer(bool visible) override;
    void ConfinePointer(bool confine) override;
    void SetFullScreen(bool fullScreen) override;
    void RingBell() override;
    int32_t RefreshRate() override { return 0; }
    void ScreenSize(int32_t* width, int32_t* height, int32_t* depth) override;

    // x11_picture.cpp
    uint8_t* Picture() override {
        return PictureInImage() ? reinterpret_cast<uint8_t*>(image_->data) : picture_;
    }
    int32_t PicturePitch() const override {
        return PictureInImage() ? image_->bytes_per_line : picturePitch_;
    }
    host::PixelFormat Format() const override { return format_; }
    void ShowRows(int32_t first, int32_t count) override;

    // x11_events.cpp
    void Pump(host::MessageSink& sink) override;
    void KeyboardState(uint8_t state[256]) override;
    bool PointerInClient() override;

  private:
    // x11_window.cpp
    static void OnIOErrorExit(Display*, void* self) { static_cast<X11Host*>(self)->lost_ = true; }
    // False once the server is gone. The socket is looked at before Xlib
    // uses it, so that a server that went away is noticed here and Xlib's own
    // error path (which cannot be left cleanly) stays the rare exception.
    bool Usable();
    void InternAtoms();
    void SetProperties(const char* title);
    void ReadKeyboardSetup();
    void ChooseScales();
    void SetSizeHints(bool fixed);
    bool WindowManagerRunning();
    void SendToWindowManager(Atom type, long first, long second, long fourth);
    void WaitForMap();
    void TakeFocus();
    // Takes the window's new geometry; true when its size changed.
    bool UpdatePosition(const XConfigureEvent& e);
    // Centres the scaled picture in the window (at 0 in a smaller window).
    void PlacePicture();

    // x11_picture.cpp
    bool CreatePicture(Visual* visual, int depth);
    // The XImage for the picture at `scale`; false (with no image) on failure.
    bool CreateImage(int32_t scale);
    bool CreateSharedImage(Visual* visual, int depth, int32_t width, int32_t height);
    bool CreatePlainImage(Visual* visual, int depth, int32_t width, int32_t height);
    void ReleaseImage();
    void ReleasePicture();
    // Switches the picture to `scale` (a new image); the old scale stays when
    // no image of the new one can be made.
    void SetScale(int32_t scale);
    // At scale 1 the image holds the picture itself, as without scaling.
    bool PictureInImage() const {
        return picture_ == nullptr || (scale_ == 1 && image_ != nullptr);
    }

    // x11_events.cpp
    // The picture position of a window position, in each direction (floor
    // division, so that the margin left of and above the picture is negative).
    int32_t PictureX(int windowX) const;
    int32_t PictureY(int windowY) const;
    void Handle(XEvent& event, host::MessageSink& sink);
    void HandleKey(XKeyEvent& e, bool press, host::MessageSink& sink);
    void HandleButton(const XButtonEvent& e, bool press, host::MessageSink& sink);
    void HandleFocus(const XFocusChangeEvent& e, host::MessageSink& sink);
    void HandleMaximize(host::MessageSink& sink);
    void PointerMoved(int x, int y, int rootX, int rootY, host::MessageSink& sink);
    void RebuildKeyState(const char keys[32]);
    // The key's facts, and the virtual keys its press holds down.
    KeyFacts Describe(unsigned keycode, unsigned state, KeyVks* vks);

    // The connection and the window.
    Display* dpy_;
    int screen_ = 0;
    Window root_ = 0;
    Window window_ = 0;
    GC gc_ = nullptr;
    bool lost_ = false;
    int32_t width_ = 0, height_ = 0;  // the picture's size
    int32_t windowWidth_ = 0, windowHeight_ = 0;
    // The picture is shown scaled: each of its pixels a scale x scale block,
    // `windowedScale_` in the window; in full screen the largest scale at
    // which it fits the window, at most the screen's, `fullScreenScale_`.
    int32_t scale_ = 1, windowedScale_ = 1, fullScreenScale_ = 1;
    int32_t offsetX_ = 0, offsetY_ = 0;  // the scaled picture within a larger window
    int32_t normalX_ = 0, normalY_ = 0;
    int32_t outerX_ = 0, outerY_ = 0;
    bool positionKnown_ = false;
    bool fullScreen_ = false;
    bool focused_ = false;
    Cursor blankCursor_ = 0;
    bool confined_ = false;
    Atom wmProtocols_ = 0, wmDelete_ = 0, netWmState_ = 0, netFullScreen_ = 0;
    Atom netMaxVert_ = 0, netMaxHorz_ = 0, netWmName_ = 0, utf8String_ = 0;
    Atom netActiveWindow_ = 0, netSupportingCheck_ = 0;

    // The picture. The image holds it as shown (scaled); when it can be shown
    // scaled, `picture_` holds it unscaled in the image's pixel format while
    // the scale is above 1, and its rows are scaled into the image as they
    // are shown. At scale 1 the image is the picture.
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    bool useShm_ = false;
    bool shmAllowed_ = true;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    uint8_t* picture_ = nullptr;
    int32_t picturePitch_ = 0;
    host::PixelFormat format_{};

    // The keyboard.
    bool evdev_ = false;
    unsigned numLockMask_ = 0;
    HeldKeys held_;  // by keycode

    // The pointer, in picture coordinates (the window's, less the centring
    // offset, divided by the scale).
    bool pointerInside_ = false;
    int32_t pointerX_ = -1, pointerY_ = -1;
    unsigned lastPressButton_ = 0;
    Time lastPressTime_ = 0;
    int32_t lastPressX_ = 0, lastPressY_ = 0;
};

}  // namespace gfxwin::x11
