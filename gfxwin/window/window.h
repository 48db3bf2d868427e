// The graphics window: its state, the window thread, the driver lock, and the
// window-layer operations that the window drivers put into their slots.
//
// The window thread owns the window. It runs an update pass about every
// 10 ms under the driver lock (presentation.h) and delivers the window's
// messages to the window procedure (window_proc.h) at the end of each pass.
// The drawing thread reaches the shared state only under the same lock, taken
// through LockScreen/UnlockScreen.
//
// Failures: a step of the window layer that can fail returns bool (true: it
// was done); a driver whose start fails says why through RefuseStart
// (refusal.h). Only the fixed interfaces keep their own forms: a driver's
// init and get-mouse slots return 0 or -1, StartDriver and the host factories
// return null.
#pragma once

#include <cstdint>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/window/window_host.h"
#include "gfxwin/window_driver.h"
#include "platform/threads.h"

namespace gfxwin {

// Converts every dirty framebuffer row into the picture (presentation.h).
using RowConverter = void (*)(const ScreenState& screen, uint8_t* destination,
                              int32_t destinationPitch);

// Creates the window system connection on the window thread; null when there
// is no window system to talk to (the factory has said why with RefuseStart).
using HostFactory = host::WindowHost* (*)();

constexpr int32_t kMaxPendingBells = 8;

// Requests of the drawing thread that the window thread carries out at its
// next pass (only the window thread talks to the window system).
struct PendingRequests {
    bool title;
    char titleText[kTitleCapacity];
    bool move;
    int32_t moveX, moveY;
    bool warp;
    int32_t warpX, warpY;
    bool cursor;
    bool cursorVisible;
    bool clip;
    bool clipOn;
    int32_t bells;  // bells to ring, at most kMaxPendingBells
};

// Counters of the update pass, for tests and measurements.
struct PresentationStats {
    uint64_t passes;     // update passes run
    uint64_t transfers;  // passes that showed rows
    uint64_t rowsShown;  // rows shown by those passes
};

// The window as the update pass and the window procedure see it. Zero-filled
// by every window start.
struct WindowState {
    HostFactory openHost;
    host::WindowHost* host;  // window thread only
    ScreenState* screen;     // the screen the window shows
    const char* title;
    int32_t width, height, depth, refreshRate, flags;
    uint8_t paletteCopy[kPaletteSize][4];  // red, green, blue, flags (4)
    bool paletteChanged;
    bool running;
    bool active;
    // The picture holds palette indices shown through the host's colour table;
    // without a converter the framebuffer rows go to the host as they are.
    bool indexed;
    RowConverter convert;
    host::PixelFormat format;  // the picture's format the converter was chosen for
    // The outer window's position as last seen by the window thread.
    int32_t outerX, outerY;
    bool positionKnown;
    // The screen's size and depth, for the mode list.
    int32_t screenWidth, screenHeight, screenDepth;
    PendingRequests pending;
    PresentationStats stats;
};

// MouseState::lastX before the first pointer position of a window is known.
constexpr int32_t kNoPointerPosition = 65535;

// Pointer and button state. Kept across window starts: a start resets the
// fields it names (WindowStart), the horizontal wheel count never.
struct MouseState {
    int32_t x, y;          // client coordinates of the last move
    int32_t lastX, lastY;  // screen coordinates, or lastX kNoPointerPosition
    bool inside;           // the pointer is within the client area
    bool tracked;          // the pointer entered and its leave is awaited
    int32_t buttons;       // host::kButton* bits
    int32_t previousButtons;
    int32_t wheel;            // reset at every window start
    int32_t horizontalWheel;  // never reset
    bool cursorVisible;
    bool clip;  // the pointer is kept within the client area
};

// The window thread's state: one record for the process, owned by the window
// layer.
//
// - `window`: written by WindowStart on the drawing thread before the window
//   thread starts (configuration: openHost, screen, title, size, depth,
//   refresh rate, flags), then shared: the window thread writes it during its
//   passes and messages (host, active, the outer position, the converter,
//   the statistics, `flags` at a full-screen switch, paletteChanged back to false);
//   the drawing thread writes the palette copy, the pending requests and the
//   title through the driver slots. Both only under the driver lock.
// - `mouse`: the window thread writes it in the window procedure; the drawing
//   thread reads and sets it through the get-mouse and set-mouse slots. Both
//   under the driver lock (the drawing thread through LockScreen).
// - `driverLock`: the driver lock itself. `thread` and `ready`: the drawing
//   thread only (WindowStart, WindowStop).
struct WindowThreadState {
    WindowState window{};
    MouseState mouse{};
    platform::Mutex driverLock;
    platform::Thread thread;
    platform::ReadySignal* ready = nullptr;  // lives until the thread is joined
};

// The one window thread of the process.
WindowThreadState& WindowThread();

// Driver lock: the lock the update pass holds and LockScreen takes. These two
// are the drawing thread's side (the driver's lock slots); the window thread
// takes `driverLock` itself. While the drawing thread waits here (and in the
// window start and stop), an interrupt that goes unserved because the window
// thread no longer answers ends the program at once (textio::EndProgramNow).
void DriverLock();
void DriverUnlock();
// The lock slots of a window without a window thread: there is no second
// thread to keep out.
void NoDriverLock();
// True when the drawing thread holds the driver lock through LockScreen
// (drawing thread only).
bool DrawingThreadHoldsLock();

// Zero-fills the window record and starts the window thread, which creates the
// window through `openHost`; true once the window is up, false when it could
// not be made (the reason is recorded with RefuseStart).
bool WindowStart(HostFactory openHost, const char* title, int32_t width, int32_t height,
                 int32_t depth, int32_t refreshRate, int32_t flags);
// The start without a window thread (OpenGL, Web): the window is created on the
// calling thread, the drawing thread, which from then on is its window thread
// too and serves it through ServeWindowHere. True once the window is up.
bool WindowStartHere(HostFactory openHost, const char* title, int32_t width, int32_t height,
                     int32_t depth, int32_t refreshRate, int32_t flags);
// One update pass on the calling thread, for a window started with
// WindowStartHere: the rows to show, the key states and the window's
// messages.
void ServeWindowHere();
// Ends the window thread (which destroys the window) and waits for it; for a
// window without a thread, destroys it here. Harmless when no window runs;
// works while the drawing thread holds the lock.
void WindowStop();

// Sets one entry of a window's palette copy (components 0..255) and flags the
// change; an index outside 0..255 is ignored.
void SetPaletteCopyEntry(WindowState& ws, int index, int red, int green, int blue);

// 15 and 16 bits count as one depth, as do 24 and 32.
int32_t DepthClass(int32_t depth);

// Window-layer operations for the driver slots (drawing thread).
// Set palette: the entry goes into the window's palette copy; the window
// thread shows it from its next pass.
void QueuePaletteEntry(int index, int red, int green, int blue);
// Sleeps one refresh period of the screen's display: 1000 / rate ms, 16 ms
// when the rate is not known (0).
void WaitVerticalBlank();
// Test aid: the sleep WaitVerticalBlank takes (null: the real one).
void ReplaceFrameSleep(void (*sleep)(int milliseconds));
int GetMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons, int32_t* clip);
void SetMouse(int32_t x, int32_t y, int32_t visibility, int32_t clip);
void SetWindowTitle(const char* title);
int32_t SetWindowPosition(int32_t x, int32_t y);
// A beep service (textio/beep.h) for drivers whose host rings the window
// system's bell: the bell rings at the window thread's next pass; tone and
// length are the window system's own.
void QueueBell(int frequencyHz, int durationMs);
// The one mode of the screen the window is on, when its depth is of `depth`'s
// class.
int32_t* FetchModes(int32_t depth, int32_t* count);

// The table of a driver made of the window layer: its own name, init, exit
// and mode list, every other slot the window layer's operation above; no
// flip, no event polling.
constexpr WindowDriver WindowLayerDriver(const char* name, decltype(WindowDriver::init) init,
                                         decltype(WindowDriver::exit) exit,
                                         decltype(WindowDriver::fetchModes) fetchModes) {
    return WindowDriver{.name = name,
                        .init = init,
                        .exit = exit,
                        .lock = DriverLock,
                        .unlock = DriverUnlock,
                        .setPalette = QueuePaletteEntry,
                        .waitVBlank = WaitVerticalBlank,
                        .getMouse = GetMouse,
                        .setMouse = SetMouse,
                        .setTitle = SetWindowTitle,
                        .setPosition = SetWindowPosition,
                        .fetchModes = fetchModes};
}

// The table of a driver whose window has no window thread (WindowStartHere):
// the window layer's, with lock slots that do nothing and the window served
// through the poll-events slot.
constexpr WindowDriver WindowHereDriver(const char* name, decltype(WindowDriver::init) init,
                                        decltype(WindowDriver::exit) exit,
                                        decltype(WindowDriver::fetchModes) fetchModes) {
    WindowDriver d = WindowLayerDriver(name, init, exit, fetchModes);
    d.lock = d.unlock = NoDriverLock;
    d.pollEvents = ServeWindowHere;
    return d;
}

// Records an event in the screen's event queue; the oldest is dropped when it
// is full. Window thread, under the driver lock.
void PostWindowEvent(ScreenState& screen, const WindowEvent& event);

// The update-pass counters, read under the driver lock.
PresentationStats ReadPresentationStats();

// The line the program ends with when the window system goes away.
inline constexpr const char* kConnectionLostMessage =
    "wellenlaenge: Verbindung zum Fenstersystem verloren";

}  // namespace gfxwin
