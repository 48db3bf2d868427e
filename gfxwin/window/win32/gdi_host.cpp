#include "gfxwin/window/win32/gdi_host.h"

#include "gfxwin/window/window_host.h"
#include "gfxwin/window/window.h"

// After the window layer's headers: windows.h names a macro CreateWindow.
#include <windows.h>
#undef CreateWindow

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace gfxwin::win32 {

namespace {

using host::MessageKind;
using host::WindowMessage;

constexpr DWORD kWindowedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // 0xCA0000
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;  // 11
constexpr UINT_PTR kLeaveTimer = 2;
constexpr UINT kLeaveTimerMs = 100;
constexpr UINT kTopmostFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOSENDCHANGING;  // 1027
constexpr UINT kMoveFlags =
    SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS;  // 16901
constexpr int kVersion5 = 0x500;
constexpr int kVersion4_10 = 0x40A;

// Device-independent bitmap header with its 256-entry colour table, in one
// zero-filled block.
constexpr size_t kHeaderBytes = 1068;
static_assert(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) <= kHeaderBytes);

// Messages that arrive while one is being handled (a window being destroyed
// and created again sends its own) wait here until the first is done.
constexpr size_t kQueuedMessages = 64;

using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
using MonitorFromPointFn = HMONITOR(WINAPI*)(POINT, DWORD);
using TrackMouseEventFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
using ChangeDisplaySettingsExFn = LONG(WINAPI*)(LPCSTR, LPDEVMODEA, HWND, DWORD, LPVOID);

struct OptionalEntries {
    SetLayeredWindowAttributesFn setLayeredWindowAttributes = nullptr;
    MonitorFromWindowFn monitorFromWindow = nullptr;
    MonitorFromPointFn monitorFromPoint = nullptr;
    TrackMouseEventFn trackMouseEvent = nullptr;
    GetMonitorInfoFn getMonitorInfo = nullptr;
    ChangeDisplaySettingsExFn changeDisplaySettingsEx = nullptr;
};

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Facts and counters the tests read; written on the window thread under the
// driver lock, read under it too.
WindowFacts gFacts{};
GdiCounters gCounters{};
std::atomic<bool> gLeaveTimerNext{false};

class GdiHost final : public host::WindowHost {
  public:
    GdiHost();
    ~GdiHost() override;
    GdiHost(const GdiHost&) = delete;
    GdiHost& operator=(const GdiHost&) = delete;

    bool CreateWindow(const host::WindowRequest& request) override;
    void DestroyWindow() override { ExitHook(); }

    uint8_t* Picture() override { return buffer_; }
    int32_t PicturePitch() const override { return bufferPitch_; }
    host::PixelFormat Format() const override;
    void ShowRows(int32_t first, int32_t count) override;
    void SetColours(const uint8_t (&colours)[256][4]) override;
    void ShowRowsFrom(const uint8_t* rows, int32_t pitch, int32_t first, int32_t count) override;

    void Pump(host::MessageSink& sink) override;
    bool ConnectionLost() const override { return false; }

    void KeyboardState(uint8_t state[256]) override {
        if (!GetKeyboardState(state)) std::memset(state, 0, 256);
    }
    bool PointerInClient() override;

    void SetTitle(const char* title) override {
        if (hwnd_ != nullptr) SetWindowTextA(hwnd_, title);
    }
    void MoveWindow(int32_t x, int32_t y) override {
        if (hwnd_ != nullptr) SetWindowPos(hwnd_, nullptr, x, y, 0, 0, kMoveFlags);
    }
    bool WindowPosition(int32_t* x, int32_t* y) override;
    void WarpPointer(int32_t x, int32_t y) override;
    void ShowPointer(bool visible) override;
    void ConfinePointer(bool confine) override;
    void SetFullScreen(bool fullScreen) override;

    int32_t RefreshRate() override { return refreshRate_; }
    void ScreenSize(int32_t* width, int32_t* height, int32_t* depth) override;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    LRESULT Handle(HWND hwnd, UINT message, WPARAM w, LPARAM l);

    bool InitHook();
    void ExitHook();
    void ReleaseResources();
    bool CreateTheWindow(DWORD style, DWORD exStyle, int x, int y, int outerWidth, int outerHeight);
    void ShowFrom(const uint8_t* bits, int32_t first, int32_t count);
    void ClientRectOnScreen(RECT* r);
    void NotePosition();

    // Delivery of a neutral message, or its queueing when one is already
    // being handled (or the pump is not running). Returns whether default
    // processing follows.
    bool Deliver(const WindowMessage& m);
    void Queue(const WindowMessage& m);
    void DrainQueue();
    void AfterDelivery();

    WindowMessage KeyMessage(MessageKind kind, WPARAM w, LPARAM l, bool release);
    bool CharMessage(WPARAM w, LPARAM l, WindowMessage* m);
    bool GrowWide(int count);
    bool GrowNarrow(int count);

    int version_ = 0;
    OptionalEntries entries_;
    HMONITOR monitor_ = nullptr;
    BOOL savedScreenSaver_ = FALSE;
    bool screenSaverSaved_ = false;
    HINSTANCE instance_ = nullptr;
    char className_[28] = {};
    bool useLeaveTimer_ = false;

    host::WindowRequest request_{};
    bool fullScreen_ = false;
    HWND hwnd_ = nullptr;
    int outerWidth_ = 0, outerHeight_ = 0;
    int32_t outerX_ = 0, outerY_ = 0;
    bool positionKnown_ = false;
    BITMAPINFO* header_ = nullptr;  // kHeaderBytes, zero-filled
    uint8_t* buffer_ = nullptr;     // the picture, when the rows are converted
    int32_t bufferPitch_ = 0;
    HPALETTE palette_ = nullptr;
    PALETTEENTRY colours_[256] = {};
    int32_t refreshRate_ = 0;

    host::MessageSink* sink_ = nullptr;
    bool delivering_ = false;
    WindowMessage queue_[kQueuedMessages];
    size_t queueHead_ = 0, queueCount_ = 0;
    bool leaveRequested_ = false;

    // The character path's growable buffers; they keep their largest size.
    wchar_t* wide_ = nullptr;
    int wideCapacity_ = 0;
    char* narrow_ = nullptr;
    int narrowCapacity_ = 0;
};

GdiHost::GdiHost() {
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

    // No screen saver while the window is up.
    if (SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &savedScreenSaver_, 0)) {
        screenSaverSaved_ = true;
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
    }

    instance_ = GetModuleHandleA(nullptr);
    // The class name: "krgfxclass_" and the window record's address.
    std::snprintf(className_, sizeof className_, "krgfxclass_%016llX",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&TheWindow())));

    WNDCLASSA windowClass{};
    windowClass.style = kClassStyle;
    windowClass.lpfnWndProc = &GdiHost::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconA(instance_, "KR_PROGRAM_ICON");
    if (windowClass.hIcon == nullptr) windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className_;
    RegisterClassA(&windowClass);  // a failure shows when the window is created
}

GdiHost::~GdiHost() {
    ExitHook();
    std::free(wide_);
    std::free(narrow_);
    if (screenSaverSaved_) {
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(savedScreenSaver_),
                              nullptr, 0);
    }
    UnregisterClassA(className_, instance_);
    if (Mouse().clip != 0) ClipCursor(nullptr);
}

host::PixelFormat GdiHost::Format() const {
    if (request_.depth <= 8) return {8, 0, 0, 0};
    // Uncompressed 16-bit device-independent bitmaps are 5-5-5, red high.
    if (request_.depth <= 16) return {16, 0x7C00, 0x3E0, 0x1F};
    return {32, 0xFF0000, 0xFF00, 0xFF};
}

bool GdiHost::CreateWindow(const host::WindowRequest& request) {
    request_ = request;
    request_.title = request.title != nullptr ? request.title : "";
    fullScreen_ = request.fullScreen;
    return InitHook();
}

// The window-init hook: the window in its windowed or full-screen form, its
// bitmap header, conversion buffer and logical palette.
bool GdiHost::InitHook() {
    ReleaseResources();
    const int width = request_.width, height = request_.height;

    MONITORINFOEXA monitorInfo{};
    monitorInfo.cbSize = sizeof monitorInfo;
    bool monitorKnown = false;
    if (entries_.getMonitorInfo != nullptr && monitor_ != nullptr &&
        entries_.getMonitorInfo(monitor_, &monitorInfo)) {
        monitorKnown = monitorInfo.szDevice[0] != '\0';
    }

    DWORD style, exStyle = 0;
    int x, y, outerWidth, outerHeight;
    if (fullScreen_) {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
        mode.dmBitsPerPel = static_cast<DWORD>(std::max(request_.depth, 8));
        mode.dmPelsWidth = static_cast<DWORD>(width);
        mode.dmPelsHeight = static_cast<DWORD>(height);
        mode.dmDisplayFrequency = static_cast<DWORD>(request_.refreshRate);
        const LONG changed =
            (entries_.changeDisplaySettingsEx != nullptr && monitorKnown)
                ? entries_.changeDisplaySettingsEx(monitorInfo.szDevice, &mode, nullptr,
                                                   CDS_FULLSCREEN, nullptr)
                : ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
        if (changed != DISP_CHANGE_SUCCESSFUL) return false;
        style = kFullScreenStyle;
        x = monitorKnown ? monitorInfo.rcMonitor.left : 0;
        y = monitorKnown ? monitorInfo.rcMonitor.top : 0;
        outerWidth = width;
        outerHeight = height;
    } else {
        style = (request_.flags & kScreenNoFrame) ? WS_POPUP : kWindowedStyle;
        if (!(request_.flags & (kScreenNoSwitch | kScreenNoFrame))) style |= WS_MAXIMIZEBOX;
        RECT outer{0, 0, width, height};
        AdjustWindowRect(&outer, style, FALSE);
        outerWidth = outer.right - outer.left;
        outerHeight = outer.bottom - outer.top;
        int left = 0, top = 0, availableWidth, availableHeight;
        if (monitorKnown) {
            left = monitorInfo.rcMonitor.left;
            top = monitorInfo.rcMonitor.top;
            availableWidth = monitorInfo.rcMonitor.right - left;
            availableHeight = monitorInfo.rcMonitor.bottom - top;
        } else {
            availableWidth = GetSystemMetrics(SM_CXSCREEN);
            availableHeight = GetSystemMetrics(SM_CYSCREEN);
        }
        x = left + ((availableWidth - outerWidth) >> 1);
        y = top + ((availableHeight - outerHeight) >> 1);
        style |= WS_VISIBLE;
    }
    if (request_.flags & kScreenShaped) {
        if (version_ < kVersion5 || entries_.setLayeredWindowAttributes == nullptr) return false;
        exStyle = WS_EX_LAYERED;
    }
    if (!CreateTheWindow(style, exStyle, x, y, outerWidth, outerHeight)) return false;
    if (request_.flags & kScreenShaped) {
        const COLORREF key = request_.depth <= 8 ? 0 : RGB(255, 0, 255);
        entries_.setLayeredWindowAttributes(hwnd_, key, 0, LWA_COLORKEY);
    }

    header_ = static_cast<BITMAPINFO*>(std::calloc(1, kHeaderBytes));
    if (header_ == nullptr) return false;
    const host::PixelFormat format = Format();
    BITMAPINFOHEADER& h = header_->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = -height;  // rows run top-down
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(format.bitsPerPixel);
    h.biCompression = BI_RGB;
    h.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        header_->bmiColors[i] =
            RGBQUAD{colours_[i].peBlue, colours_[i].peGreen, colours_[i].peRed, 0};
    }

    // Rows that cannot come straight from the framebuffer are converted into a
    // buffer of rows padded to four bytes, as the bitmap format wants.
    bufferPitch_ = ((width * format.bitsPerPixel / 8) + 3) & ~3;
    buffer_ = static_cast<uint8_t*>(
        std::calloc(static_cast<size_t>(height), static_cast<size_t>(bufferPitch_)));
    if (buffer_ == nullptr) return false;

    if (HDC dc = GetDC(hwnd_)) {
        refreshRate_ = GetDeviceCaps(dc, VREFRESH);
        ReleaseDC(hwnd_, dc);
    }

    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical{0x300, 256, {}};
    std::memcpy(logical.entries, colours_, sizeof colours_);
    palette_ = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));

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
    return true;
}

bool GdiHost::CreateTheWindow(DWORD style, DWORD exStyle, int x, int y, int outerWidth,
                              int outerHeight) {
    // Recorded first: the size limits are asked for while the window is made.
    outerWidth_ = outerWidth;
    outerHeight_ = outerHeight;
    hwnd_ = CreateWindowExA(exStyle, className_, request_.title, style, x, y, outerWidth,
                            outerHeight, nullptr, nullptr, instance_, this);
    if (hwnd_ == nullptr) return false;
    if (request_.flags & kScreenOnTop) {
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kTopmostFlags);
    }
    SetForegroundWindow(hwnd_);
    NotePosition();
    return true;
}

void GdiHost::ReleaseResources() {
    std::free(buffer_);
    buffer_ = nullptr;
    std::free(header_);
    header_ = nullptr;
    if (palette_ != nullptr) {
        DeleteObject(palette_);
        palette_ = nullptr;
    }
}

// The window-exit hook.
void GdiHost::ExitHook() {
    std::free(buffer_);
    buffer_ = nullptr;
    std::free(header_);
    header_ = nullptr;
    if (hwnd_ != nullptr) {
        if (fullScreen_) ChangeDisplaySettingsA(nullptr, 0);
        HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        positionKnown_ = false;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd);
    }
    if (palette_ != nullptr) {
        DeleteObject(palette_);
        palette_ = nullptr;
    }
    leaveRequested_ = false;
}

void GdiHost::SetColours(const uint8_t (&colours)[256][4]) {
    for (int i = 0; i < 256; ++i) {
        colours_[i] = PALETTEENTRY{colours[i][0], colours[i][1], colours[i][2], colours[i][3]};
        if (header_ != nullptr) {
            header_->bmiColors[i] = RGBQUAD{colours[i][2], colours[i][1], colours[i][0], 0};
        }
    }
    if (palette_ != nullptr) SetPaletteEntries(palette_, 0, 256, colours_);
    ++gCounters.colourTables;
}

// One SetDIBitsToDevice call: `count` rows from `bits` to the window at row
// `first`, full width.
void GdiHost::ShowFrom(const uint8_t* bits, int32_t first, int32_t count) {
    if (hwnd_ == nullptr || header_ == nullptr || count <= 0) return;
    HDC dc = GetDC(hwnd_);
    if (dc == nullptr) return;
    HPALETTE previous = nullptr;
    if (palette_ != nullptr) {
        previous = SelectPalette(dc, palette_, FALSE);
        RealizePalette(dc);
    }
    SetDIBitsToDevice(dc, 0, first, static_cast<DWORD>(request_.width), static_cast<DWORD>(count),
                      0, 0, 0, static_cast<UINT>(count), bits, header_, DIB_RGB_COLORS);
    if (previous != nullptr) SelectPalette(dc, previous, FALSE);
    ReleaseDC(hwnd_, dc);
    ++gCounters.transfers;
    gCounters.rows += static_cast<unsigned long long>(count);
}

void GdiHost::ShowRows(int32_t first, int32_t count) {
    if (buffer_ == nullptr) return;
    ShowFrom(buffer_ + static_cast<size_t>(first) * static_cast<size_t>(bufferPitch_), first,
             count);
    gFacts.fromFramebuffer = false;
}

void GdiHost::ShowRowsFrom(const uint8_t* rows, int32_t pitch, int32_t first, int32_t count) {
    if (pitch != bufferPitch_) return;  // the bitmap header describes rows of this pitch
    ShowFrom(rows, first, count);
    gFacts.fromFramebuffer = true;
}

void GdiHost::Pump(host::MessageSink& sink) {
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

void GdiHost::ClientRectOnScreen(RECT* r) {
    GetClientRect(hwnd_, r);
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(r), 2);
}

bool GdiHost::PointerInClient() {
    if (hwnd_ == nullptr) return false;
    RECT client;
    ClientRectOnScreen(&client);
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return false;
    return PtInRect(&client, cursor) != 0;
}

bool GdiHost::WindowPosition(int32_t* x, int32_t* y) {
    if (hwnd_ == nullptr || !positionKnown_) return false;
    *x = outerX_;
    *y = outerY_;
    return true;
}

// The outer window's position, kept from the window's own reports so that
// the update pass need not ask the system every 10 ms.
void GdiHost::NotePosition() {
    RECT r;
    positionKnown_ = hwnd_ != nullptr && GetWindowRect(hwnd_, &r);
    if (positionKnown_) {
        outerX_ = r.left;
        outerY_ = r.top;
    }
}

void GdiHost::WarpPointer(int32_t x, int32_t y) {
    if (hwnd_ == nullptr) return;
    POINT p{x, y};
    if (!fullScreen_) ClientToScreen(hwnd_, &p);
    SetCursorPos(p.x, p.y);
}

void GdiHost::ShowPointer(bool visible) {
    if (hwnd_ == nullptr) return;
    // Applied as the window applies it when the pointer moves.
    if (PointerInClient()) SetCursor(visible ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
}

void GdiHost::ConfinePointer(bool confine) {
    if (!confine || hwnd_ == nullptr) {
        ClipCursor(nullptr);
        return;
    }
    RECT client;
    ClientRectOnScreen(&client);
    ClipCursor(&client);
}

void GdiHost::SetFullScreen(bool fullScreen) {
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

void GdiHost::ScreenSize(int32_t* width, int32_t* height, int32_t* depth) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
    *depth = 0;
    if (HDC dc = GetDC(nullptr)) {
        *depth = GetDeviceCaps(dc, BITSPIXEL);
        ReleaseDC(nullptr, dc);
    }
}

// --- messages ---------------------------------------------------------------

LRESULT CALLBACK GdiHost::WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(l);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<GdiHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(hwnd, message, w, l);
    return self->Handle(hwnd, message, w, l);
}

void GdiHost::Queue(const WindowMessage& m) {
    if (queueCount_ == kQueuedMessages) {  // full: the oldest is dropped
        queueHead_ = (queueHead_ + 1) % kQueuedMessages;
        --queueCount_;
    }
    queue_[(queueHead_ + queueCount_) % kQueuedMessages] = m;
    ++queueCount_;
}

void GdiHost::DrainQueue() {
    while (queueCount_ > 0 && sink_ != nullptr && !delivering_) {
        const WindowMessage m = queue_[queueHead_];
        queueHead_ = (queueHead_ + 1) % kQueuedMessages;
        --queueCount_;
        delivering_ = true;
        sink_->DeliverForDefault(m);
        delivering_ = false;
        AfterDelivery();
    }
}

bool GdiHost::Deliver(const WindowMessage& m) {
    if (sink_ == nullptr || delivering_) {
        Queue(m);
        return true;
    }
    delivering_ = true;
    const bool defaultHandling = sink_->DeliverForDefault(m);
    delivering_ = false;
    AfterDelivery();
    DrainQueue();
    return defaultHandling;
}

// The window procedure asked for the pointer's leaving (it saw the pointer
// enter): the system is asked to report it.
void GdiHost::AfterDelivery() {
    if (hwnd_ == nullptr) return;
    if (Mouse().tracked == 0) {
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

WindowMessage GdiHost::KeyMessage(MessageKind kind, WPARAM w, LPARAM l, bool release) {
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

bool GdiHost::GrowWide(int count) {
    if (count <= wideCapacity_) return true;
    auto* grown = static_cast<wchar_t*>(std::realloc(wide_, sizeof(wchar_t) * count));
    if (grown == nullptr) return false;
    wide_ = grown;
    wideCapacity_ = count;
    return true;
}

bool GdiHost::GrowNarrow(int count) {
    if (count <= narrowCapacity_) return true;
    auto* grown = static_cast<char*>(std::realloc(narrow_, static_cast<size_t>(count)));
    if (grown == nullptr) return false;
    narrow_ = grown;
    narrowCapacity_ = count;
    return true;
}

// The character path: the window's ANSI byte through UTF-16 into code page
// 437. False when the message is not a character the program takes.
bool GdiHost::CharMessage(WPARAM w, LPARAM l, WindowMessage* m) {
    if (w > 255) return false;
    *m = WindowMessage{MessageKind::kChar};
    m->repeatCount = static_cast<int>(static_cast<uint32_t>(l) & 0xFFFF);
    if (w == 0) return true;  // the code 0, which readers drop
    const char ansi = static_cast<char>(w);
    const int wideCount = MultiByteToWideChar(CP_ACP, 0, &ansi, 1, nullptr, 0);
    if (wideCount <= 0 || !GrowWide(wideCount)) return true;
    MultiByteToWideChar(CP_ACP, 0, &ansi, 1, wide_, wideCount);
    const int narrowCount =
        WideCharToMultiByte(437, 0, wide_, wideCount, nullptr, 0, nullptr, nullptr);
    if (narrowCount <= 0 || !GrowNarrow(narrowCount)) return true;
    if (WideCharToMultiByte(437, 0, wide_, wideCount, narrow_, narrowCount, nullptr, nullptr) > 0) {
        m->cp437 = static_cast<uint8_t>(narrow_[0]);
    }
    return true;
}

LRESULT GdiHost::Handle(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: {
            const MessageKind kind = message == WM_KEYDOWN      ? MessageKind::kKeyDown
                                     : message == WM_KEYUP      ? MessageKind::kKeyUp
                                     : message == WM_SYSKEYDOWN ? MessageKind::kSysKeyDown
                                                                : MessageKind::kSysKeyUp;
            const bool release = message == WM_KEYUP || message == WM_SYSKEYUP;
            if (!Deliver(KeyMessage(kind, w, l, release))) return 0;
            break;
        }
        case WM_CHAR: {
            WindowMessage m;
            if (CharMessage(w, l, &m)) Deliver(m);
            break;
        }
        case WM_CLOSE:
            // Only the close code: the program decides when the window goes.
            Deliver(WindowMessage{MessageKind::kClose});
            return 0;
        case WM_ACTIVATE: {
            WindowMessage m{MessageKind::kActivate};
            m.active = LOWORD(w) != WA_INACTIVE;
            m.minimized = HIWORD(w) != 0;
            Deliver(m);
            return 0;
        }
        case WM_SIZE:
            if (w == SIZE_MAXIMIZED && !Deliver(WindowMessage{MessageKind::kMaximize})) return 0;
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hwnd, &paint);
            ++gCounters.paints;
            Deliver(WindowMessage{MessageKind::kPaint});
            InvalidateRect(hwnd, nullptr, FALSE);
            EndPaint(hwnd, &paint);
            break;
        }
        case WM_DISPLAYCHANGE:
            Deliver(WindowMessage{MessageKind::kDisplayChange});
            break;
        case WM_SETCURSOR: {
            const bool hide = Mouse().cursorVisible == 0 && PointerInClient();
            SetCursor(hide ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
            return TRUE;
        }
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(l);
            const POINT size{outerWidth_, outerHeight_};
            info->ptMaxSize = size;
            info->ptMinTrackSize = size;
            info->ptMaxTrackSize = size;
            return 0;
        }
        case WM_MOUSEMOVE: {
            WindowMessage m{MessageKind::kMouseMove};
            m.x = LOWORD(l);
            m.y = HIWORD(l);
            POINT cursor{};
            GetCursorPos(&cursor);
            m.screenX = cursor.x;
            m.screenY = cursor.y;
            Deliver(m);
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: {
            SetCapture(hwnd);
            const bool twice = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK ||
                               message == WM_MBUTTONDBLCLK;
            WindowMessage m{twice ? MessageKind::kButtonDoubleClick : MessageKind::kButtonDown};
            m.button =
                (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)   ? host::kButtonLeft
                : (message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK) ? host::kButtonRight
                                                                             : host::kButtonMiddle;
            Deliver(m);
            break;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            WindowMessage m{MessageKind::kButtonUp};
            m.button = message == WM_LBUTTONUP   ? host::kButtonLeft
                       : message == WM_RBUTTONUP ? host::kButtonRight
                                                 : host::kButtonMiddle;
            Deliver(m);
            if (Mouse().buttons == 0 && GetCapture() == hwnd) ReleaseCapture();
            break;
        }
        case WM_XBUTTONDOWN:
        case WM_XBUTTONDBLCLK:
        case WM_XBUTTONUP: {
            if (version_ < kVersion5) break;
            const WORD keys = GET_KEYSTATE_WPARAM(w);
            WindowMessage m{message == WM_XBUTTONUP       ? MessageKind::kButtonUp
                            : message == WM_XBUTTONDBLCLK ? MessageKind::kButtonDoubleClick
                                                          : MessageKind::kButtonDown};
            if (message == WM_XBUTTONUP) {
                // The bits of the extra buttons that are no longer down.
                m.button = ((keys & MK_XBUTTON1) ? 0 : host::kButtonExtra1) |
                           ((keys & MK_XBUTTON2) ? 0 : host::kButtonExtra2);
                Deliver(m);
                if (Mouse().buttons == 0 && GetCapture() == hwnd) ReleaseCapture();
            } else {
                SetCapture(hwnd);
                m.button = ((keys & MK_XBUTTON1) ? host::kButtonExtra1 : 0) |
                           ((keys & MK_XBUTTON2) ? host::kButtonExtra2 : 0);
                Deliver(m);
            }
            break;
        }
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: {
            const bool horizontal = message == WM_MOUSEHWHEEL;
            if (version_ < (horizontal ? kVersion5 : kVersion4_10)) break;
            WindowMessage m{horizontal ? MessageKind::kHorizontalWheel : MessageKind::kWheel};
            m.delta = static_cast<int32_t>(static_cast<uint32_t>(w));
            Deliver(m);
            break;
        }
        case WM_MOVING:
            if (Mouse().clip != 0) ClipCursor(nullptr);
            break;
        case WM_WINDOWPOSCHANGED:
            if (hwnd == hwnd_) NotePosition();
            break;
        case WM_MOUSELEAVE:
            leaveRequested_ = false;
            if (!Deliver(WindowMessage{MessageKind::kMouseLeave})) return 0;
            break;
        case WM_TIMER:
            if (w == kLeaveTimer) {
                RECT client;
                ClientRectOnScreen(&client);
                POINT cursor{};
                GetCursorPos(&cursor);
                if (!PtInRect(&client, cursor) || WindowFromPoint(cursor) != hwnd) {
                    KillTimer(hwnd, kLeaveTimer);
                    PostMessageA(hwnd, WM_MOUSELEAVE, 0, 0);
                }
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, w, l);
}

}  // namespace

host::WindowHost* OpenGdiHost() {
    return new GdiHost();
}

WindowFacts LastWindowFacts() {
    DriverLock();
    const WindowFacts facts = gFacts;
    DriverUnlock();
    return facts;
}

GdiCounters ReadGdiCounters() {
    DriverLock();
    const GdiCounters counters = gCounters;
    DriverUnlock();
    return counters;
}

void UseLeaveTimerForNextHost() {
    gLeaveTimerNext = true;
}

}  // namespace gfxwin::win32
