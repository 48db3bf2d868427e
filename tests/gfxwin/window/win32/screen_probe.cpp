// A screen of its own, for tests that drive it from outside with real input
// (xdotool under Wine) and read its window back (xwd). Opens mode 18 with the
// driver "KRGFX" chooses and writes to standard output, one line each:
//   Ready <driver> [<bits>]          the screen is open (DirectX: its surface's
//                                    bits per pixel)
//   Format arb=<0|1> double=<0|1>    OpenGL: how the pixel format was chosen
//   Down <scan code> / Up <scan code>  a key state changed
//   Key <hex bytes>                  a key code read from the key buffer
//   Full screen <0|1>                the window layer switched (Alt+Enter)
//   Surface <bits>                   DirectX: its surface changed (full screen)
//   Keyboard dropped                 F2: the DirectX keyboard device is taken
//                                    away, as the system does when input is lost
//   Reacquired <n>                   at the end: times the device was acquired again
//   Closed                           the screen closed; Esc or the close button ends
//
// Without arguments it prints a line of text on the screen; with "opengl" it
// opens the screen with the OpenGL flag, clears it to 0x3366CC through OpenGL
// and flips, serving the window through poll events. Ends after 60 s at most.
#include <cstdio>
#include <cstring>
#include <string>

#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/text/text_engine.h"
#include "gfxwin/window/win32/directx_host.h"
#include "gfxwin/window/win32/opengl_host.h"
#include "gfxwin/window/window.h"
#include "gfxwin/window_driver.h"

// After the window layer's headers: windows.h names a macro CreateWindow.
#include <windows.h>
#undef CreateWindow

namespace {

using ClearColorFn = void(WINAPI*)(float, float, float, float);
using ClearFn = void(WINAPI*)(unsigned);
constexpr unsigned kColourBufferBit = 0x4000;  // GL_COLOR_BUFFER_BIT

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Clears the OpenGL window to 0x3366CC and shows it.
void ClearThroughOpenGl(const gfxwin::WindowDriver& driver) {
    HMODULE gl = GetModuleHandleA("opengl32.dll");
    auto clearColor =
        reinterpret_cast<ClearColorFn>(reinterpret_cast<void*>(GetProcAddress(gl, "glClearColor")));
    auto clear = reinterpret_cast<ClearFn>(reinterpret_cast<void*>(GetProcAddress(gl, "glClear")));
    if (clearColor == nullptr || clear == nullptr) return;
    clearColor(0x33 / 255.0f, 0x66 / 255.0f, 0xCC / 255.0f, 1.0f);
    clear(kColourBufferBit);
    driver.flip();
}

}  // namespace

int main(int argc, char** argv) {
    const bool opengl = argc > 1 && std::strcmp(argv[1], "opengl") == 0;
    if (gfxwin::OpenScreen(18, 8, 0, opengl ? gfxwin::kScreenOpenGL : 0, 0) != 0) {
        std::fprintf(stderr, "screen_probe: no screen\n");
        return 1;
    }
    const gfxwin::WindowDriver& driver = *gfxwin::CurrentScreen()->driver;
    const bool directX = std::strcmp(driver.name, "DirectX") == 0;
    // DirectX: with the bits per pixel of its surface.
    Say(std::string("Ready ") + driver.name +
        (directX ? " " + std::to_string(gfxwin::win32::ReadDirectXCounters().bitsPerPixel) : ""));
    if (opengl) {
        const gfxwin::win32::OpenGlFacts facts = gfxwin::win32::ReadOpenGlFacts();
        Say("Format arb=" + std::to_string(facts.arbPixelFormat) +
            " double=" + std::to_string(facts.doubleBuffered));
    } else {
        const std::string text = "Tastenprobe";
        gfxwin::LockScreen();
        gfxwin::PrintText(text.data(), text.size(), 0);
        gfxwin::UnlockScreen(1, 0);
    }

    uint8_t shown[128] = {};
    int bits = directX ? gfxwin::win32::ReadDirectXCounters().bitsPerPixel : 0;
    int32_t shownFlags = 0;
    const ULONGLONG end = GetTickCount64() + 60000;
    bool done = false;
    while (!done && GetTickCount64() < end) {
        if (driver.pollEvents != nullptr) driver.pollEvents();
        if (opengl) ClearThroughOpenGl(driver);
        uint8_t states[128];
        gfxwin::LockScreen();
        std::memcpy(states, gfxwin::CurrentScreen()->keyStates, sizeof states);
        gfxwin::UnlockScreen(1, 0);
        for (int i = 0; i < 128; ++i) {
            if (states[i] != shown[i]) Say((states[i] ? "Down " : "Up ") + std::to_string(i));
            shown[i] = states[i];
        }
        gfxwin::LockScreen();
        const int32_t flags = gfxwin::WindowThread().window.flags;
        gfxwin::UnlockScreen(1, 0);
        if ((flags ^ shownFlags) & gfxwin::kScreenFullScreen) {
            Say("Full screen " + std::to_string(flags & gfxwin::kScreenFullScreen));
        }
        shownFlags = flags;
        if (directX && gfxwin::win32::ReadDirectXCounters().bitsPerPixel != bits) {
            bits = gfxwin::win32::ReadDirectXCounters().bitsPerPixel;
            Say("Surface " + std::to_string(bits));
        }
        char bytes[2];
        for (size_t n; (n = gfxwin::ReadKeyText(bytes)) != 0;) {
            char line[16];
            std::snprintf(line, sizeof line, n == 2 ? "Key %02X %02X" : "Key %02X",
                          static_cast<unsigned char>(bytes[0]),
                          static_cast<unsigned char>(bytes[1]));
            Say(line);
            const bool close = n == 2 && bytes[1] == 'k';
            if (bytes[0] == 27 || close) done = true;
            if (n == 2 && bytes[1] == 60 && directX) {  // F2
                gfxwin::win32::InjectDirectXFault(gfxwin::win32::DirectXFault::kKeyboardLost);
                Say("Keyboard dropped");
            }
        }
        Sleep(10);
    }
    const unsigned long long reacquired = gfxwin::win32::ReadDirectXCounters().reacquires;
    gfxwin::CloseScreen();
    if (directX) Say("Reacquired " + std::to_string(reacquired));
    Say("Closed");
    return done ? 0 : 2;
}
