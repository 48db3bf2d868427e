// Aids for tests against a real X server: a private Xvfb on a free display,
// the X tools run as child processes, a reader of XWD screenshots, and a
// sender of the window manager's close request.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;  // Xlib's Display

namespace x11test {

// The full path of a program found on PATH, empty when there is none.
std::string FindProgram(const std::string& name);
bool HaveProgram(const std::string& name);

// An Xvfb of its own, 1024x768 at depth 24 (or the depth and size given: 16
// for a 5-6-5 display), without TCP. Stopped (by its process id) when the
// object goes.
class XvfbServer {
  public:
    explicit XvfbServer(int depth = 24, int width = 1024, int height = 768)
        : depth_(depth), width_(width), height_(height) {}
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts the server and waits until it accepts connections; false (with
    // the reason in error()) when that fails. A width and height given here
    // replace the ones given at construction.
    bool Start(int width = 0, int height = 0);
    void Stop();
    // Stops the server's process (SIGSTOP) as a hung server: connections stay
    // open, nothing is answered. Resume (SIGCONT) lets it go on.
    void Pause();
    void Resume();
    bool Running() const { return pid_ > 0; }
    const std::string& display() const { return display_; }
    const std::string& error() const { return error_; }

  private:
    int depth_, width_, height_;
    pid_t pid_ = -1;
    std::string display_;
    std::string error_;
};

// openbox on a server, started after it and stopped (by its process id)
// before it.
class WindowManager {
  public:
    WindowManager() = default;
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Starts openbox on `display` and waits until it has announced itself on
    // the root window; false (with the reason in error()) when that fails.
    bool Start(const std::string& display);
    void Stop();
    const std::string& error() const { return error_; }

  private:
    pid_t pid_ = -1;
    std::string error_;
};

// Counts the bells rung on a server (XKB bell notifications), from its own
// connection, from construction on.
class BellCounter {
  public:
    explicit BellCounter(const std::string& display);
    ~BellCounter();
    BellCounter(const BellCounter&) = delete;
    BellCounter& operator=(const BellCounter&) = delete;
    bool ok() const { return dpy_ != nullptr; }
    // The bells rung so far; waits `settleMs` for late notifications first.
    int Count(int settleMs = 200);

  private:
    ::_XDisplay* dpy_ = nullptr;
    int xkbEventBase_ = 0;
    int count_ = 0;
};

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a program with DISPLAY set to `display`.
ToolResult RunTool(const std::vector<std::string>& argv, const std::string& display);

// The id of the top-level window with this name, 0 when there is none.
unsigned long FindWindow(const std::string& display, const std::string& name);

// Geometry and properties as xwininfo and xprop report them.
struct WindowInfo {
    int x = 0, y = 0, width = 0, height = 0;
};
bool QueryWindow(const std::string& display, unsigned long window, WindowInfo* info);
std::string WindowProperty(const std::string& display, unsigned long window,
                           const std::string& property);

// A screenshot of a window in 0x00RRGGBB pixels, read from xwd's output (of a
// display of 32 or 16 bits per pixel, narrower components widened by
// repeating their top bits).
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
bool TakeScreenshot(const std::string& display, unsigned long window, Screenshot* shot,
                    std::string* error);

// A screenshot of a picture shown `scale` times its size, brought back to
// the picture's size: each pixel is its scale x scale block's colour, or
// kMixedBlock (no 0xRRGGBB colour) when the block is not of one colour.
constexpr uint32_t kMixedBlock = 0xFF000000u;
Screenshot Unscaled(const Screenshot& shot, int scale);

// Writes the window's state list (_NET_WM_STATE) with the named states, as a
// window manager does when it changes the state.
bool SetWindowState(const std::string& display, unsigned long window,
                    const std::vector<std::string>& states);

// Asks the window to close as a window manager does (WM_DELETE_WINDOW).
bool SendCloseRequest(const std::string& display, unsigned long window);

// The position of the pointer relative to the window's origin.
bool MovePointer(const std::string& display, unsigned long window, int x, int y);

// Puts a keysym on a keycode that has none, for as long as the object lives.
// xdotool types a keysym missing from the keymap by binding it to a spare
// keycode, sending the key and unbinding it at once; a client that reads the
// key event together with the unbinding finds no symbol on that keycode, as
// every X client would. With the keysym in the keymap, xdotool sends its own
// keycode and the test does not depend on that timing.
class KeysymOnSpareKeycode {
  public:
    KeysymOnSpareKeycode(const std::string& display, const char* keysymName);
    ~KeysymOnSpareKeycode();
    KeysymOnSpareKeycode(const KeysymOnSpareKeycode&) = delete;
    KeysymOnSpareKeycode& operator=(const KeysymOnSpareKeycode&) = delete;
    bool ok() const { return keycode_ != 0; }

  private:
    ::_XDisplay* dpy_ = nullptr;
    int keycode_ = 0;
};

}  // namespace x11test
