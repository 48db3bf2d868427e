// A window of the Win32 host on its own, for tests that drive it from outside
// with real input (xdotool under Wine): every key, character, activation and
// close message that reaches the window is written to standard output, one
// line each. Ends at the close request, or after 60 s.
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

const struct {
    MessageKind kind;
    const char* name;
} kKeyKinds[] = {{MessageKind::kKeyDown, "KeyDown"},
                 {MessageKind::kKeyUp, "KeyUp"},
                 {MessageKind::kSysKeyDown, "SysKeyDown"},
                 {MessageKind::kSysKeyUp, "SysKeyUp"}};

class PrintingSink final : public gfxwin::host::MessageSink {
  public:
    // Key messages get no default handling, so F10 and Alt open no menu.
    gfxwin::host::MessageResult Deliver(const WindowMessage& m) override {
        gfxwin::host::MessageResult result;
        if (m.kind == MessageKind::kChar) {
            std::printf("Char cp437=%d repeat=%d\n", m.cp437, m.repeatCount);
        } else if (m.kind == MessageKind::kActivate) {
            std::printf("Activate active=%d\n", m.active && !m.minimized ? 1 : 0);
        } else if (m.kind == MessageKind::kClose) {
            std::printf("Close\n");
            closed = true;
            result.defaultHandling = false;
        }
        for (const auto& key : kKeyKinds) {
            if (key.kind != m.kind) continue;
            std::printf("%s vk=%02X scan=%02X ext=%d alt=%d repeat=%d char=%d unshifted=%d\n",
                        key.name, m.virtualKey, m.scanCode, m.extended ? 1 : 0, m.altHeld ? 1 : 0,
                        m.repeatCount, m.character, m.unshiftedChar);
            result.defaultHandling = false;
        }
        std::fflush(stdout);
        return result;
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
