#include "gfxwin/window/window.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "gfxwin/window/presentation.h"
#include "gfxwin/window/refusal.h"
#include "gfxwin/window_driver.h"
#include "platform/threads.h"
#include "textio/interrupts.h"
#include "textio/runtime.h"

namespace gfxwin {

namespace {

constexpr int kPassPauseMs = 10;
constexpr int kWaitSliceMs = 50;
constexpr int kDefaultFramePauseMs = 16;
constexpr int32_t kKeep = INT32_MIN;

// Takes the driver lock unless the drawing thread already holds it.
class LockUnlessHeld {
  public:
    LockUnlessHeld() : take_(!DrawingThreadHoldsLock()) {
        if (take_) DriverLock();
    }
    ~LockUnlessHeld() {
        if (take_) DriverUnlock();
    }
    LockUnlessHeld(const LockUnlessHeld&) = delete;
    LockUnlessHeld& operator=(const LockUnlessHeld&) = delete;

  private:
    bool take_;
};

// A wait of the drawing thread on the window thread, in slices: `done(ms)`
// waits at most that long and answers whether the wait is over. An interrupt
// cannot wake such a wait; when one goes unserved too long, the window thread
// no longer answers (it hangs on a display server that stopped), so the
// orderly end could never finish: the program ends at once, its files
// written out.
template <typename Done>
void WaitOnWindowThread(Done done) {
    while (!done(kWaitSliceMs)) {
        if (textio::InterruptOverdue()) textio::EndProgramNow(textio::PendingInterrupt());
    }
}

void ThreadBody(void* argument) {
    auto* ready = static_cast<platform::ReadySignal*>(argument);
    WindowThreadState& wt = WindowThread();
    WindowState& ws = wt.window;
    if (!PresentationInit(ws)) return;  // the start sees the thread end
    wt.driverLock.Lock();
    ws.active = true;
    wt.driverLock.Unlock();
    ready->SignalReady();

    bool lost = false;
    for (;;) {
        wt.driverLock.Lock();
        if (!ws.running) {
            wt.driverLock.Unlock();
            break;
        }
        UpdatePass(ws, wt.mouse);
        lost = ws.host->ConnectionLost();
        wt.driverLock.Unlock();
        if (lost) break;
        platform::SleepMs(kPassPauseMs);
    }
    PresentationExit(ws);
    // The window system went away under the program: the main thread ends the
    // program at its next wait, writing out every open file.
    if (lost) textio::RequestProgramEnd(1, kConnectionLostMessage);
}

// What a window start resets of the pointer state.
void ResetMouseForStart(MouseState& mouse) {
    mouse.cursorVisible = true;
    mouse.lastX = kNoPointerPosition;
    mouse.lastY = 0;
    mouse.clip = false;
    mouse.wheel = 0;
    mouse.buttons = 0;
    mouse.previousButtons = 0;
    mouse.tracked = false;
    mouse.inside = false;
}

// The window record of a new start.
void PrepareStart(HostFactory openHost, const char* title, int32_t width, int32_t height,
                  int32_t depth, int32_t refreshRate, int32_t flags) {
    WindowThreadState& wt = WindowThread();
    WindowState& ws = wt.window;
    ResetMouseForStart(wt.mouse);
    ws.openHost = openHost;
    ws.screen = CurrentScreen();
    ws.title = title;
    ws.width = width;
    ws.height = height;
    ws.depth = std::max(depth, 8);
    ws.refreshRate = refreshRate;
    ws.flags = flags;
    ws.running = true;
}

}  // namespace

WindowThreadState& WindowThread() {
    static WindowThreadState state;
    return state;
}

bool DrawingThreadHoldsLock() {
    const ScreenState* screen = CurrentScreen();
    return screen != nullptr && screen->lockCount != 0 && screen->driver != nullptr &&
           screen->driver->lock == DriverLock;
}

void DriverLock() {
    WaitOnWindowThread([](int ms) { return WindowThread().driverLock.TryLockFor(ms); });
}

void DriverUnlock() {
    WindowThread().driverLock.Unlock();
}

void NoDriverLock() {}

bool WindowStart(HostFactory openHost, const char* title, int32_t width, int32_t height,
                 int32_t depth, int32_t refreshRate, int32_t flags) {
    WindowThreadState& wt = WindowThread();
    WindowState& ws = wt.window;
    ws = WindowState{};
    if (flags & kScreenOpenGL) return DeclineStart("OpenGL wird nicht angeboten");
    PrepareStart(openHost, title, width, height, depth, refreshRate, flags);

    wt.ready = new (std::nothrow) platform::ReadySignal();
    if (wt.ready == nullptr || !wt.thread.Start(ThreadBody, wt.ready, wt.ready)) {
        delete wt.ready;
        wt.ready = nullptr;
        ws.running = false;
        return RefuseStart("Fensterthread startet nicht");
    }
    // The thread either reports its window ready or ends (having said why);
    // it is joined by the stop in both cases.
    platform::ReadySignal::Outcome outcome{};
    WaitOnWindowThread([&](int ms) {
        outcome = wt.ready->WaitFor(ms);
        return outcome != platform::ReadySignal::Outcome::kNeither;
    });
    return outcome == platform::ReadySignal::Outcome::kReady;
}

bool WindowStartHere(HostFactory openHost, const char* title, int32_t width, int32_t height,
                     int32_t depth, int32_t refreshRate, int32_t flags) {
    WindowState& ws = WindowThread().window;
    ws = WindowState{};
    PrepareStart(openHost, title, width, height, depth, refreshRate, flags);
    DriverLock();
    const bool made = PresentationInit(ws);
    ws.active = made;
    ws.running = made;
    DriverUnlock();
    return made;
}

void ServeWindowHere() {
    WindowThreadState& wt = WindowThread();
    if (wt.thread.Running() || !wt.window.running || wt.window.host == nullptr) return;
    DriverLock();
    UpdatePass(wt.window, wt.mouse);
    DriverUnlock();
}

void WindowStop() {
    WindowThreadState& wt = WindowThread();
    WindowState& ws = wt.window;
    if (!ws.running) return;
    if (!wt.thread.Running()) {  // started here: no thread to end
        DriverLock();
        ws.running = false;
        PresentationExit(ws);
        DriverUnlock();
        wt.mouse.clip = false;
        return;
    }
    ScreenState* screen = CurrentScreen();
    if (DrawingThreadHoldsLock()) {
        // The window thread needs the lock to finish its pass.
        ws.running = false;
        screen->lockCount = 0;
        DriverUnlock();
    } else {
        DriverLock();
        ws.running = false;
        DriverUnlock();
    }
    WaitOnWindowThread([&](int ms) { return wt.thread.JoinFor(ms); });
    delete wt.ready;
    wt.ready = nullptr;
    wt.mouse.clip = false;
}

void QueuePaletteEntry(int index, int red, int green, int blue) {
    SetPaletteCopyEntry(WindowThread().window, index, red, green, blue);
}

void SetPaletteCopyEntry(WindowState& ws, int index, int red, int green, int blue) {
    if (index < 0 || index >= kPaletteSize) return;
    ws.paletteChanged = true;
    ws.paletteCopy[index][0] = static_cast<uint8_t>(red);
    ws.paletteCopy[index][1] = static_cast<uint8_t>(green);
    ws.paletteCopy[index][2] = static_cast<uint8_t>(blue);
    ws.paletteCopy[index][3] = 4;
}

int32_t DepthClass(int32_t depth) {
    if (depth == 15) return 16;
    if (depth == 24) return 32;
    return depth;
}

namespace {
void (*gFrameSleep)(int) = platform::SleepMs;
}  // namespace

void ReplaceFrameSleep(void (*sleep)(int milliseconds)) {
    gFrameSleep = sleep != nullptr ? sleep : platform::SleepMs;
}

void WaitVerticalBlank() {
    const ScreenState* screen = CurrentScreen();
    const int32_t rate = screen != nullptr ? screen->refreshRate : 0;
    gFrameSleep(rate > 0 ? 1000 / rate : kDefaultFramePauseMs);
}

int GetMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons, int32_t* clip) {
    const WindowThreadState& wt = WindowThread();
    const MouseState& mouse = wt.mouse;
    if (!wt.window.active || !mouse.inside) return -1;
    if (x != nullptr) *x = mouse.x;
    if (y != nullptr) *y = mouse.y;
    if (wheel != nullptr) *wheel = mouse.wheel;
    if (buttons != nullptr) *buttons = mouse.buttons;
    if (clip != nullptr) *clip = mouse.clip ? 1 : 0;
    return 0;
}

void SetMouse(int32_t x, int32_t y, int32_t visibility, int32_t clip) {
    WindowThreadState& wt = WindowThread();
    WindowState& ws = wt.window;
    MouseState& mouse = wt.mouse;
    if (x != kKeep || y != kKeep) {
        if (x == kKeep) x = mouse.x;
        if (y == kKeep) y = mouse.y;
        mouse.inside = true;
        mouse.x = std::clamp(x, 0, std::max(ws.width - 1, 0));
        mouse.y = std::clamp(y, 0, std::max(ws.height - 1, 0));
        ws.pending.warp = true;
        ws.pending.warpX = mouse.x;
        ws.pending.warpY = mouse.y;
    }
    if (visibility >= 0) {
        const bool visible = visibility > 0;
        if (visible != mouse.cursorVisible) {
            mouse.cursorVisible = visible;
            ws.pending.cursor = true;
            ws.pending.cursorVisible = visible;
        }
    }
    if (clip >= 0) {
        mouse.clip = clip > 0;
        ws.pending.clip = true;
        ws.pending.clipOn = clip > 0;
    }
}

void SetWindowTitle(const char* title) {
    if (title == nullptr) return;
    LockUnlessHeld lock;
    WindowState& ws = WindowThread().window;
    const size_t n = std::min(std::strlen(title), kTitleCapacity - 1);
    std::memcpy(ws.pending.titleText, title, n);
    ws.pending.titleText[n] = '\0';
    ws.pending.title = true;
    ws.title = title;
}

int32_t SetWindowPosition(int32_t x, int32_t y) {
    WindowState& ws = WindowThread().window;
    LockUnlessHeld lock;  // the window thread flips the full-screen flag
    if (ws.flags & kScreenFullScreen) return 0;
    if (x == kKeep && y == kKeep) {
        if (!ws.positionKnown) return 0;
        return static_cast<int32_t>((static_cast<uint32_t>(ws.outerX) & 0xFFFFu) |
                                    (static_cast<uint32_t>(ws.outerY) << 16));
    }
    ws.pending.move = true;
    ws.pending.moveX = x;
    ws.pending.moveY = y;
    return 0;
}

void QueueBell(int /*frequencyHz*/, int /*durationMs*/) {
    LockUnlessHeld lock;
    PendingRequests& pending = WindowThread().window.pending;
    pending.bells = std::min(pending.bells + 1, kMaxPendingBells);
}

int32_t* FetchModes(int32_t depth, int32_t* count) {
    const WindowState& ws = WindowThread().window;
    if (count != nullptr) *count = 0;
    if (ws.screenWidth <= 0 || DepthClass(depth) != DepthClass(ws.screenDepth)) return nullptr;
    auto* modes = static_cast<int32_t*>(std::malloc(sizeof(int32_t)));
    if (modes == nullptr) return nullptr;
    modes[0] = ws.screenWidth * 65536 + ws.screenHeight;
    if (count != nullptr) *count = 1;
    return modes;
}

void PostWindowEvent(ScreenState& screen, const WindowEvent& event) {
    if (screen.events == nullptr || screen.eventGuard == nullptr) return;
    screen.eventGuard->Acquire();
    screen.events[screen.eventTail] = event;
    screen.eventTail = (screen.eventTail + 1) % kEventQueueSize;
    if (screen.eventTail == screen.eventHead) {
        screen.eventHead = (screen.eventHead + 1) % kEventQueueSize;
    }
    screen.eventGuard->Release();
}

PresentationStats ReadPresentationStats() {
    LockUnlessHeld lock;
    return WindowThread().window.stats;
}

}  // namespace gfxwin
