// The window system as the window layer sees it: one window with a fixed-size
// picture, the messages that arrive through it, and the few services the
// window procedure and the update pass call.
//
// A host turns its own events into WindowMessages; everything that decides
// what a message means (key codes, the key buffer, events, activation, the
// mouse state) is platform-independent code. Every WindowHost call is made on
// the window thread.
//
// The messages speak Win32's language, since the key translation tables are
// Win32's: keys come as Win32 virtual keys (keys/virtual_keys.h) with PC
// set-1 scan codes, and a key is a system key (kSysKeyDown, kSysKeyUp) by
// Win32's rule: Alt held without Ctrl, F10, or Alt itself. The Win32 host
// passes on what Windows says; a host of another window system (X11) derives
// the virtual keys, the scan codes and that rule itself.
#pragma once

#include <cstdint>

namespace gfxwin::host {

// In three groups, in this order: keys, the window, the pointer.
enum class MessageKind {
    kKeyDown,     // a key went down (or repeats) without Alt, or with Ctrl+Alt
    kKeyUp,       // a key went up
    kSysKeyDown,  // a key went down while Alt is held without Ctrl; F10; Alt itself
    kSysKeyUp,
    kChar,               // a typed character (code page 437 byte)
    kClose,              // the close button
    kActivate,           // the window gained or lost the keyboard focus
    kMaximize,           // the user asked to maximise the window
    kPaint,              // part of the window must be drawn again
    kDisplayChange,      // the display's format changed
    kMouseMove,          // the pointer moved (or entered) within the window
    kMouseLeave,         // the pointer left the window
    kButtonDown,         // a mouse button went down
    kButtonDoubleClick,  // the second press of a double click
    kButtonUp,           // a mouse button went up
    kWheel,              // vertical wheel step
    kHorizontalWheel,    // horizontal wheel step
};

// Mouse button bits, as kept in the button state.
constexpr int kButtonLeft = 1;
constexpr int kButtonRight = 2;
constexpr int kButtonMiddle = 4;
constexpr int kButtonExtra1 = 8;
constexpr int kButtonExtra2 = 16;

struct WindowMessage {
    MessageKind kind;
    // Keys: PC set-1 scan code (0..255), Win32 virtual key, extended-key flag,
    // repeat count, and whether the key was already down (an auto-repeat).
    int scanCode = 0;
    int virtualKey = 0;
    bool extended = false;
    int repeatCount = 1;
    bool previousDown = false;
    // Keys: Alt was held (the context bit of system keys).
    bool altHeld = false;
    // Key messages: the character the keyboard layout gives the key with the
    // current modifiers, as a Latin-1 byte (0 when none or outside Latin-1);
    // Ctrl+letter gives the control character. `deadKey` marks a dead key,
    // which gives no character.
    uint8_t character = 0;
    bool deadKey = false;
    // Key messages: the key's character without modifiers, uppercase for
    // letters, 0 when none.
    uint8_t unshiftedChar = 0;
    // kChar: the code page 437 byte ('?' for characters outside code page 437).
    uint8_t cp437 = 0;
    // kActivate.
    bool active = false;
    bool minimized = false;
    // Mouse: position in the picture (the client area's, or for a host that
    // shows the picture scaled or centred, the picture pixel under the
    // pointer), and on the screen (for a picture shown k times its size, the
    // screen position divided by k, so that movements are the picture's).
    int x = 0;
    int y = 0;
    int screenX = 0;
    int screenY = 0;
    // Buttons: one of the kButton bits. Wheels: +1 up/right, -1 down/left.
    int button = 0;
    int delta = 0;
};

// The picture's pixel layout in the window system. A picture of 8 bits per
// pixel without masks holds palette indices, which the host shows through its
// colour table (SetColours).
struct PixelFormat {
    int bitsPerPixel = 0;  // 8, 16, 24 or 32
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
};

// The window layer's answer to one message.
struct MessageResult {
    // The window system's own handling of the message should follow; false
    // when it is fully handled (F10 and Alt must not open the window menu, the
    // close button must not close).
    bool defaultHandling = true;
    // The pointer as the window layer keeps it after the message: it entered
    // the window and its leaving is to be reported; a mouse button is held.
    bool watchLeave = false;
    bool buttonHeld = false;
};

// Receives the messages a pump delivers.
class MessageSink {
  public:
    virtual MessageResult Deliver(const WindowMessage& message) = 0;

  protected:
    ~MessageSink() = default;
};

struct WindowRequest {
    const char* title;
    int32_t width;
    int32_t height;
    bool fullScreen;
    // The framebuffer's depth (bits per pixel) and the wished refresh rate (0:
    // any), for hosts that switch the display mode in full screen.
    int32_t depth = 8;
    int32_t refreshRate = 0;
    // All screen flags (window_driver.h), for hosts that offer
    // more than the full-screen switch.
    int32_t flags = 0;
};

class WindowHost {
  public:
    virtual ~WindowHost() = default;

    // Creates the window, client area exactly width x height (a host that
    // shows the picture scaled: that times its scale), not resizable, centred
    // on the screen, titled, shown. Also creates the picture memory of
    // width x height pixels. False on failure (nothing is left behind; the
    // host has said why with RefuseStart, refusal.h).
    virtual bool CreateWindow(const WindowRequest& request) = 0;
    // Destroys the window and the picture. Safe to call when none exists.
    virtual void DestroyWindow() = 0;

    // The picture memory, its row pitch in bytes and its pixel layout.
    virtual uint8_t* Picture() = 0;
    virtual int32_t PicturePitch() const = 0;
    virtual PixelFormat Format() const = 0;
    // Shows `count` picture rows from `first` in the window, in one transfer.
    virtual void ShowRows(int32_t first, int32_t count) = 0;

    // Indexed pictures only. The 256 colours (red, green, blue, flags) that the
    // indices show as, from the next transfer on.
    virtual void SetColours(const uint8_t (&/*colours*/)[256][4]) {}
    // Indexed pictures only. Shows `count` rows of indices that lie outside the
    // picture (the framebuffer itself), `pitch` bytes apart, a multiple of 4,
    // at row `first`, in one transfer.
    virtual void ShowRowsFrom(const uint8_t* /*rows*/, int32_t /*pitch*/, int32_t /*first*/,
                              int32_t /*count*/) {}

    // Delivers every pending message without blocking.
    virtual void Pump(MessageSink& sink) = 0;
    // True once the connection to the window system is gone; after that no
    // call reaches the window system any more.
    virtual bool ConnectionLost() const = 0;

    // Pressed state of every virtual key (bit 7 set = down), including the
    // left/right forms of Shift, Ctrl and Alt (160..165).
    virtual void KeyboardState(uint8_t state[256]) = 0;
    // True when the pointer is within the client area.
    virtual bool PointerInClient() = 0;

    // Requests of the drawing thread, carried out by the window thread.
    virtual void SetTitle(const char* title) = 0;
    virtual void MoveWindow(int32_t x, int32_t y) = 0;
    // The outer window's top-left corner on the screen.
    virtual bool WindowPosition(int32_t* x, int32_t* y) = 0;
    // Moves the pointer to a picture position.
    virtual void WarpPointer(int32_t x, int32_t y) = 0;
    // Shows or hides the pointer over the client area, from now on (a new
    // window shows it).
    virtual void ShowPointer(bool visible) = 0;
    // Keeps the pointer within the client area, or lets it go.
    virtual void ConfinePointer(bool confine) = 0;
    // Rings the window system's bell once.
    virtual void RingBell() {}
    // Switches the window between its normal size and full screen (the
    // picture centred on black, scaled to fill the screen as far as a whole
    // factor allows where the host scales). The display mode never changes.
    virtual void SetFullScreen(bool fullScreen) = 0;

    // Hosts whose picture is memory of the window system that has to be
    // locked before it is written (a DirectDraw surface) answer true. The
    // update pass then always writes such a picture through a converter (the
    // row copy for an indexed one), never hands it framebuffer rows
    // (ShowRowsFrom), and brackets the conversion with LockPicture() and
    // UnlockPicture(); Picture() and PicturePitch() hold in between. Lock
    // false: the picture cannot be written in this pass (lost and not yet
    // restored, or not shown now), and the rows stay marked for the next.
    virtual bool LocksPicture() const { return false; }
    virtual bool LockPicture() { return true; }
    virtual void UnlockPicture() {}
    // Called at the start of every update pass, before anything is shown.
    virtual void BeginPass() {}
    // Hosts with a keyboard device of their own: sets the key state of each
    // of the 128 scan codes (1 = down) from it, and answers true; false when
    // the key states come from KeyboardState() through the key map.
    virtual bool ReadScanCodeStates(uint8_t /*states*/[128]) { return false; }

    // The display's refresh rate in Hz, 0 when unknown.
    virtual int32_t RefreshRate() = 0;
    // The size of the screen, for the mode list.
    virtual void ScreenSize(int32_t* width, int32_t* height, int32_t* depth) = 0;
};

}  // namespace gfxwin::host
