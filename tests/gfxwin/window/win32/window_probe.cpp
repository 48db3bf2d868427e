// A window of the Win32 host on its own, for tests that drive it from outside
// with real input (xdotool under Wine): every key, character and close
// message that reaches the window is written to standard output, one line
// each. Ends at the close request, or after 60 s.
//
//   wl_window_probe.exe > messages.txt
#include <cstdio>

#include "gfxwin/window/win32/gdi_host.h"
#include "gfxwin/window/window_host.h"

// After the window layer's headers: windows.h names a macro CreateWindow.
#include <windows.h>
#undef CreateWindow

namespace {

using gfxwin::host::MessageKind;
using gfxwin::host::WindowMessage;

class PrintingSink final : public gfxwin::host::MessageSink {
  public:
    void Deliver(const WindowMessage& m) override { DeliverForDefault(m); }

    // Key messages get no default handling, so F10 and Alt open no menu.
    bool DeliverForDefault(const WindowMessage& m) override {
        const char* kind = nullptr;
        switch (m.kind) {
            case MessageKind::kKeyDown:
                kind = "KeyDown";
                break;
            case MessageKind::kKeyUp:
                kind = "KeyUp";
                break;
            case MessageKind::kSysKeyDown:
                kind = "SysKeyDown";
                break;
            case MessageKind::kSysKeyUp:
                kind = "SysKeyUp";
                break;
            case MessageKind::kChar:
                std::printf("Char cp437=%d repeat=%d\n", m.cp437, m.repeatCount);
                std::fflush(stdout);
                return true;
            case MessageKind::kClose:
                std::printf("Close\n");
                std::fflush(stdout);
                closed = true;
                return false;
            default:
                return true;
        }
        std::printf("%s vk=%02X scan=%02X ext=%d alt=%d repeat=%d char=%d unshifted=%d\n", kind,
                    m.virtualKey, m.scanCode, m.extended ? 1 : 0, m.altHeld ? 1 : 0, m.repeatCount,
                    m.character, m.unshiftedChar);
        std::fflush(stdout);
        return false;
    }

    bool closed = false;
};

}  // namespace

int main() {
    gfxwin::host::WindowHost* host = gfxwin::win32::OpenGdiHost();
    if (!host->CreateWindow({"wl_window_probe", 640, 480, false, 8, 0, 0})) {
        std::fprintf(stderr, "wl_window_probe: no window\n");
        delete host;
        return 1;
    }
    std::printf("Ready\n");
    std::fflush(stdout);
    PrintingSink sink;
    const ULONGLONG end = GetTickCount64() + 60000;
    while (!sink.closed && GetTickCount64() < end) {
        host->Pump(sink);
        Sleep(10);
    }
    host->DestroyWindow();
    delete host;
    return sink.closed ? 0 : 2;
}
