// The Win32 window host, private to this folder: the window that every Win32
// driver shows its picture in. One abstract class whose parts live in
//   win32_window.cpp  the window class, the window with its styles and place,
//                     the display mode of full screen, the pointer services;
//   win32_events.cpp  the window procedure: messages turned into
//                     WindowMessages, the key and character translation.
// A driver's host derives from it and adds the picture (gdi_picture.cpp for
// "GDI", directx_picture.cpp for "DirectX", opengl_picture.cpp for "OpenGL").
// Every member runs on the window thread (for "OpenGL", the drawing thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "gfxwin/window/win32/win32_host.h"
#include "gfxwin/window/window_host.h"

// After the window layer's headers: windows.h names a macro CreateWindow.
#include <windows.h>
#undef CreateWindow

namespace gfxwin::win32 {

// What the Win32 drivers share (gdi_driver.cpp): the system beep serves the
// program while a window of theirs is open; and the display modes of a depth
// (15 and 16 counting as one, as 24 and 32 do) as width * 65536 + height, in
// the order EnumDisplaySettingsA lists them, the caller frees.
void UseSystemBeep(bool on);
int32_t* EnumeratedDisplayModes(int32_t depth, int32_t* count);

// A system library loaded at run time, so that the program itself imports
// only what every Windows brings. Freed when the object goes.
class RuntimeLibrary {
  public:
    RuntimeLibrary() = default;
    ~RuntimeLibrary() { Free(); }
    RuntimeLibrary(const RuntimeLibrary&) = delete;
    RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;

    bool Load(const char* name) {
        if (module_ == nullptr) module_ = LoadLibraryA(name);
        return module_ != nullptr;
    }
    void Free() {
        if (module_ != nullptr) FreeLibrary(module_);
        module_ = nullptr;
    }
    bool Loaded() const { return module_ != nullptr; }
    // The entry point of that name, null when the library or the entry lacks.
    template <typename Fn>
    Fn Entry(const char* name) const {
        if (module_ == nullptr) return nullptr;
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

  private:
    HMODULE module_ = nullptr;
};

class Win32Window : public host::WindowHost {
  public:
    // The class style of a window drawn by the window layer; an OpenGL window
    // takes CS_DBLCLKS alone.
    static constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;  // 11

    // Reads the system version and the optional user32 entry points, turns the
    // screen saver off until the host goes, and registers the window class
    // (with the program's icon, resource 1, where it has one).
    explicit Win32Window(UINT classStyle = kClassStyle);
    // Restores the screen saver and unregisters the class. A derived host's
    // destructor calls DestroyWindow() first: the picture is its own.
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // The window (win32_window.cpp).
    bool CreateWindow(const host::WindowRequest& request) override;
    void DestroyWindow() override { ExitHook(); }
    bool ConnectionLost() const override { return false; }
    void SetTitle(const char* title) override;
    void MoveWindow(int32_t x, int32_t y) override;
    bool WindowPosition(int32_t* x, int32_t* y) override;
    void SetFullScreen(bool fullScreen) override;
    void ScreenSize(int32_t* width, int32_t* height, int32_t* depth) override;

    // The keyboard and the pointer (win32_window.cpp).
    void KeyboardState(uint8_t state[256]) override;
    bool PointerInClient() override;
    void WarpPointer(int32_t x, int32_t y) override;
    void ShowPointer(bool visible) override;
    void ConfinePointer(bool confine) override;

    // The messages (win32_events.cpp).
    void Pump(host::MessageSink& sink) override;

  protected:
    // The picture's part of the window-init hook, once the window is made:
    // false (said with RefuseStart) when it cannot be made.
    virtual bool CreatePresentation() = 0;
    // The picture's part of the window-exit hook (also run before the
    // window-init hook); safe when nothing is there.
    virtual void ReleasePresentation() = 0;
    // After the window layer has painted the frame for WM_PAINT, inside
    // BeginPaint and EndPaint.
    virtual void AfterPaint(HWND /*hwnd*/) {}
    // Full screen: switches the display to the picture's size, depth and
    // refresh rate on the monitor's device (empty: the primary one), and back.
    virtual bool SwitchDisplay(const char* device);
    virtual void RestoreDisplay();
    // The last step of the window-exit hook, once the window is gone.
    virtual void AfterWindowGone() {}

    HWND Window() const { return hwnd_; }
    HINSTANCE Instance() const { return instance_; }
    const char* ClassName() const { return className_; }
    const host::WindowRequest& Request() const { return request_; }
    bool FullScreen() const { return fullScreen_; }
    // The window has the keyboard focus and is not minimised.
    bool Active() const { return active_; }
    // The monitor the window was started on or last switched on; null when
    // the system cannot tell.
    HMONITOR Monitor() const { return monitor_; }

    // Windowed placement: the window's corner where the client area would be
    // centred on the primary screen, instead of the whole window centred on
    // its monitor.
    bool centreClientOnPrimary_ = false;

  private:
    using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
    using MonitorFromPointFn = HMONITOR(WINAPI*)(POINT, DWORD);
    using TrackMouseEventFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
    using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
    using ChangeDisplaySettingsExFn = LONG(WINAPI*)(LPCSTR, LPDEVMODEA, HWND, DWORD, LPVOID);

    // Entry points user32 may lack, looked up by name.
    struct OptionalEntries {
        SetLayeredWindowAttributesFn setLayeredWindowAttributes;
        MonitorFromWindowFn monitorFromWindow;
        MonitorFromPointFn monitorFromPoint;
        TrackMouseEventFn trackMouseEvent;
        GetMonitorInfoFn getMonitorInfo;
        ChangeDisplaySettingsExFn changeDisplaySettingsEx;
    };

    // Where and how the window is made.
    struct Placement {
        DWORD style, exStyle;
        int x, y, outerWidth, outerHeight;
    };

    // win32_window.cpp
    void ReadSystem();
    bool InitHook();
    void ExitHook();
    void RegisterWindowClass(UINT classStyle);
    void DestroyTheWindow();
    bool ReadMonitor(MONITORINFOEXA* info);
    Placement WindowedPlacement(const MONITORINFOEXA* monitor) const;
    bool CreateTheWindow(const Placement& p);
    void RecordFacts();
    void ClientRectOnScreen(RECT* r);
    void NotePosition();

    // win32_events.cpp
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    LRESULT Handle(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    std::optional<LRESULT> OnKeyboard(UINT message, WPARAM w, LPARAM l);
    std::optional<LRESULT> OnMouse(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    std::optional<LRESULT> OnButton(HWND hwnd, UINT message, WPARAM w);
    std::optional<LRESULT> OnWindowMessage(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    std::optional<LRESULT> OnPointerService(HWND hwnd, UINT message, WPARAM w);
    void OnLeaveTimer(HWND hwnd);
    // Delivery of a neutral message, or its queueing when one is already
    // being handled (or the pump is not running). Returns whether default
    // processing follows.
    bool Deliver(const host::WindowMessage& m);
    void Queue(const host::WindowMessage& m);
    void DrainQueue();
    void AfterDelivery(const host::MessageResult& result);
    host::WindowMessage KeyMessage(host::MessageKind kind, WPARAM w, LPARAM l, bool release);
    bool CharMessage(WPARAM w, LPARAM l, host::WindowMessage* m);

    // The system, read once.
    int version_ = 0;
    OptionalEntries entries_{};
    HMONITOR monitor_ = nullptr;
    BOOL savedScreenSaver_ = FALSE;
    bool screenSaverSaved_ = false;
    HINSTANCE instance_ = nullptr;
    char className_[28] = {};
    bool useLeaveTimer_ = false;

    // The window.
    host::WindowRequest request_{};
    bool fullScreen_ = false;
    bool active_ = false;
    HWND hwnd_ = nullptr;
    int outerWidth_ = 0, outerHeight_ = 0;
    int32_t outerX_ = 0, outerY_ = 0;
    bool positionKnown_ = false;

    // The pointer as the window layer wants it, and its last answer.
    bool pointerVisible_ = true;
    bool confined_ = false;
    host::MessageResult pointer_{};
    bool leaveRequested_ = false;

    // Messages.
    static constexpr size_t kQueuedMessages = 64;
    host::MessageSink* sink_ = nullptr;
    bool delivering_ = false;
    host::WindowMessage queue_[kQueuedMessages];
    size_t queueHead_ = 0, queueCount_ = 0;
};

}  // namespace gfxwin::win32
