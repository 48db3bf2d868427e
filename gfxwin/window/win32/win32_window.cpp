// The Win32 window host's window: the class, the window with its styles and
// place, full screen, the outer position and the pointer services.
#include "gfxwin/window/win32/win32_window.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "gfxwin/window/refusal.h"
#include "gfxwin/window/window.h"
#include "gfxwin/window_driver.h"

namespace gfxwin::win32 {

namespace {

constexpr DWORD kWindowedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // 0xCA0000
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr UINT kTopmostFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOSENDCHANGING;  // 1027
constexpr UINT kMoveFlags =
    SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS;  // 16901
constexpr int kVersion5 = 0x500;
// The program's icon resource (packaging/windows/wellenlaenge.rc.in).
constexpr WORD kProgramIcon = 1;

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Read by the tests under the driver lock.
WindowFacts gFacts{};
std::atomic<bool> gLeaveTimerNext{false};

}  // namespace

Win32Window::Win32Window(UINT classStyle) {
    ReadSystem();
    // No screen saver while the window is up.
    if (SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &savedScreenSaver_, 0)) {
        screenSaverSaved_ = true;
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
    }
    RegisterWindowClass(classStyle);
}

Win32Window::~Win32Window() {
    DestroyTheWindow();
    if (screenSaverSaved_) {
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(savedScreenSaver_),
                              nullptr, 0);
    }
    UnregisterClassA(className_, instance_);
    if (confined_) ClipCursor(nullptr);
}

// The system's version, the optional entry points, and the monitor under the
// pointer.
void Win32Window::ReadSystem() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExA(&info)) {
        version_ = static_cast<int>(info.dwMajorVersion * 256 + info.dwMinorVersion);
    }
#pragma GCC diagnostic pop

    if (HMODULE user32 = GetModuleHandleA("USER32")) {
        entries_.setLayeredWindowAttributes =
            Entry<SetLayeredWindowAttributesFn>(user32, "SetLayeredWindowAttributes");
        entries_.monitorFromWindow = Entry<MonitorFromWindowFn>(user32, "MonitorFromWindow");
        entries_.monitorFromPoint = Entry<MonitorFromPointFn>(user32, "MonitorFromPoint");
        entries_.trackMouseEvent = Entry<TrackMouseEventFn>(user32, "TrackMouseEvent");
        entries_.getMonitorInfo = Entry<GetMonitorInfoFn>(user32, "GetMonitorInfoA");
        entries_.changeDisplaySettingsEx =
            Entry<ChangeDisplaySettingsExFn>(user32, "ChangeDisplaySettingsExA");
    }
    if (gLeaveTimerNext.exchange(false)) entries_.trackMouseEvent = nullptr;
    useLeaveTimer_ = entries_.trackMouseEvent == nullptr;

    if (entries_.monitorFromPoint != nullptr) {
        POINT cursor{};
        GetCursorPos(&cursor);
        monitor_ = entries_.monitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
    }
}

void Win32Window::RegisterWindowClass(UINT classStyle) {
    instance_ = GetModuleHandleA(nullptr);
    // The class name: "krgfxclass_" and this host's address.
    std::snprintf(className_, sizeof className_, "krgfxclass_%016llX",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
    WNDCLASSA windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &Win32Window::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(kProgramIcon));
    if (windowClass.hIcon == nullptr) windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className_;
    RegisterClassA(&windowClass);  // a failure shows when the window is created
}

bool Win32Window::CreateWindow(const host::WindowRequest& request) {
    request_ = request;
    request_.title = request.title != nullptr ? request.title : "";
    fullScreen_ = request.fullScreen;
    return InitHook();
}

// The window-init hook: the window in its windowed or full-screen form, then
// the picture.
bool Win32Window::InitHook() {
    ReleasePresentation();
    // Refused before the display is switched.
    const bool shaped = (request_.flags & kScreenShaped) != 0;
    if (shaped && (version_ < kVersion5 || entries_.setLayeredWindowAttributes == nullptr)) {
        return RefuseStart("keine geformten Fenster auf diesem System");
    }
    MONITORINFOEXA monitor{};
    const bool monitorKnown = ReadMonitor(&monitor);
    Placement p{};
    if (fullScreen_) {
        if (!SwitchDisplay(monitorKnown ? monitor.szDevice : nullptr)) return false;
        // A popup of exactly the picture's size at the monitor's corner.
        p.style = kFullScreenStyle;
        p.x = monitorKnown ? monitor.rcMonitor.left : 0;
        p.y = monitorKnown ? monitor.rcMonitor.top : 0;
        p.outerWidth = request_.width;
        p.outerHeight = request_.height;
    } else {
        p = WindowedPlacement(monitorKnown ? &monitor : nullptr);
    }
    if (shaped) p.exStyle = WS_EX_LAYERED;
    if (!CreateTheWindow(p)) {
        // Without a window the exit hook cannot tell the display was switched.
        if (fullScreen_) RestoreDisplay();
        return false;
    }
    if (shaped) {
        const COLORREF key = request_.depth <= 8 ? 0 : RGB(255, 0, 255);
        entries_.setLayeredWindowAttributes(hwnd_, key, 0, LWA_COLORKEY);
    }
    if (!CreatePresentation()) return false;
    RecordFacts();
    return true;
}

// The stored monitor's information; false when there is none to read.
bool Win32Window::ReadMonitor(MONITORINFOEXA* info) {
    info->cbSize = sizeof *info;
    if (entries_.getMonitorInfo == nullptr || monitor_ == nullptr ||
        !entries_.getMonitorInfo(monitor_, info)) {
        return false;
    }
    return info->szDevice[0] != '\0';
}

// A framed window whose client area is the picture's size, centred on the
// monitor (or the primary screen), halving by an arithmetic shift.
Win32Window::Placement Win32Window::WindowedPlacement(const MONITORINFOEXA* monitor) const {
    Placement p{};
    p.style = (request_.flags & kScreenNoFrame) ? WS_POPUP : kWindowedStyle;
    if (!(request_.flags & (kScreenNoSwitch | kScreenNoFrame))) p.style |= WS_MAXIMIZEBOX;
    RECT outer{0, 0, request_.width, request_.height};
    AdjustWindowRect(&outer, p.style, FALSE);
    p.outerWidth = outer.right - outer.left;
    p.outerHeight = outer.bottom - outer.top;
    if (centreClientOnPrimary_) {
        p.x = (GetSystemMetrics(SM_CXSCREEN) - request_.width) >> 1;
        p.y = (GetSystemMetrics(SM_CYSCREEN) - request_.height) >> 1;
        p.style |= WS_VISIBLE;
        return p;
    }
    int left = 0, top = 0, availableWidth, availableHeight;
    if (monitor != nullptr) {
        left = monitor->rcMonitor.left;
        top = monitor->rcMonitor.top;
        availableWidth = monitor->rcMonitor.right - left;
        availableHeight = monitor->rcMonitor.bottom - top;
    } else {
        availableWidth = GetSystemMetrics(SM_CXSCREEN);
        availableHeight = GetSystemMetrics(SM_CYSCREEN);
    }
    p.x = left + ((availableWidth - p.outerWidth) >> 1);
    p.y = top + ((availableHeight - p.outerHeight) >> 1);
    p.style |= WS_VISIBLE;
    return p;
}

bool Win32Window::SwitchDisplay(const char* device) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    mode.dmBitsPerPel = static_cast<DWORD>(std::max(request_.depth, 8));
    mode.dmPelsWidth = static_cast<DWORD>(request_.width);
    mode.dmPelsHeight = static_cast<DWORD>(request_.height);
    mode.dmDisplayFrequency = static_cast<DWORD>(request_.refreshRate);
    const LONG changed =
        (entries_.changeDisplaySettingsEx != nullptr && device != nullptr)
            ? entries_.changeDisplaySettingsEx(device, &mode, nullptr, CDS_FULLSCREEN, nullptr)
            : ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
    if (changed == DISP_CHANGE_SUCCESSFUL) return true;
    return RefuseStart("Anzeigemodus %dx%d mit %d Bit abgelehnt", request_.width, request_.height,
                       static_cast<int>(mode.dmBitsPerPel));
}

void Win32Window::RestoreDisplay() {
    ChangeDisplaySettingsA(nullptr, 0);
}

bool Win32Window::CreateTheWindow(const Placement& p) {
    // Recorded first: the size limits are asked for while the window is made.
    outerWidth_ = p.outerWidth;
    outerHeight_ = p.outerHeight;
    hwnd_ = CreateWindowExA(p.exStyle, className_, request_.title, p.style, p.x, p.y, p.outerWidth,
                            p.outerHeight, nullptr, nullptr, instance_, this);
    if (hwnd_ == nullptr) return RefuseStart("Fenster nicht erstellt");
    if (request_.flags & kScreenOnTop) {
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kTopmostFlags);
    }
    SetForegroundWindow(hwnd_);
    NotePosition();
    return true;
}

void Win32Window::RecordFacts() {
    gFacts = WindowFacts{};
    std::memcpy(gFacts.className, className_, sizeof className_);
    gFacts.style = static_cast<unsigned long>(GetWindowLongA(hwnd_, GWL_STYLE));
    gFacts.classStyle = static_cast<unsigned long>(GetClassLongA(hwnd_, GCL_STYLE));
    gFacts.outerWidth = outerWidth_;
    gFacts.outerHeight = outerHeight_;
    RECT client{};
    GetClientRect(hwnd_, &client);
    gFacts.clientWidth = client.right - client.left;
    gFacts.clientHeight = client.bottom - client.top;
}

// The window-exit hook.
void Win32Window::ExitHook() {
    ReleasePresentation();
    DestroyTheWindow();
    AfterWindowGone();
}

void Win32Window::DestroyTheWindow() {
    if (hwnd_ != nullptr) {
        if (fullScreen_) RestoreDisplay();
        HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        positionKnown_ = false;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd);
    }
    leaveRequested_ = false;
    active_ = false;
}

void Win32Window::KeyboardState(uint8_t state[256]) {
    if (!GetKeyboardState(state)) std::memset(state, 0, 256);
}

void Win32Window::ClientRectOnScreen(RECT* r) {
    GetClientRect(hwnd_, r);
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(r), 2);
}

bool Win32Window::PointerInClient() {
    if (hwnd_ == nullptr) return false;
    RECT client;
    ClientRectOnScreen(&client);
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return false;
    return PtInRect(&client, cursor) != 0;
}

void Win32Window::SetTitle(const char* title) {
    if (hwnd_ != nullptr) SetWindowTextA(hwnd_, title);
}

void Win32Window::MoveWindow(int32_t x, int32_t y) {
    if (hwnd_ != nullptr) SetWindowPos(hwnd_, nullptr, x, y, 0, 0, kMoveFlags);
}

bool Win32Window::WindowPosition(int32_t* x, int32_t* y) {
    if (hwnd_ == nullptr || !positionKnown_) return false;
    *x = outerX_;
    *y = outerY_;
    return true;
}

// The outer window's position, kept from the window's own reports so that
// the update pass need not ask the system every 10 ms.
void Win32Window::NotePosition() {
    RECT r;
    positionKnown_ = hwnd_ != nullptr && GetWindowRect(hwnd_, &r);
    if (positionKnown_) {
        outerX_ = r.left;
        outerY_ = r.top;
    }
}

void Win32Window::WarpPointer(int32_t x, int32_t y) {
    if (hwnd_ == nullptr) return;
    POINT p{x, y};
    if (!fullScreen_) ClientToScreen(hwnd_, &p);
    SetCursorPos(p.x, p.y);
}

void Win32Window::ShowPointer(bool visible) {
    pointerVisible_ = visible;  // WM_SETCURSOR applies it from now on
    if (hwnd_ == nullptr) return;
    if (PointerInClient()) SetCursor(visible ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
}

void Win32Window::ConfinePointer(bool confine) {
    confined_ = confine && hwnd_ != nullptr;
    if (!confined_) {
        ClipCursor(nullptr);
        return;
    }
    RECT client;
    ClientRectOnScreen(&client);
    ClipCursor(&client);
}

void Win32Window::SetFullScreen(bool fullScreen) {
    if (entries_.monitorFromWindow != nullptr && hwnd_ != nullptr) {
        monitor_ = entries_.monitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST);
    }
    ExitHook();
    fullScreen_ = fullScreen;
    if (InitHook()) return;
    // The display refused the mode: back to the form the window had.
    ExitHook();
    fullScreen_ = !fullScreen;
    InitHook();
}

void Win32Window::ScreenSize(int32_t* width, int32_t* height, int32_t* depth) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
    *depth = 0;
    if (HDC dc = GetDC(nullptr)) {
        *depth = GetDeviceCaps(dc, BITSPIXEL);
        ReleaseDC(nullptr, dc);
    }
}

WindowFacts LastWindowFacts() {
    DriverLock();
    const WindowFacts facts = gFacts;
    DriverUnlock();
    return facts;
}

void UseLeaveTimerForNextHost() {
    gLeaveTimerNext = true;
}

}  // namespace gfxwin::win32
