// Measurements of the Windows window drivers, DirectX next to GDI (Google
// Benchmark is not built for Windows here, so these are plain timed loops):
// the cost of one update pass for a full frame and for one text row, and the
// CPU an idle open window uses. Needs a desktop (under Wine: DISPLAY).
//
//   driver_bench.exe [passes] [idle seconds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/window/presentation.h"
#include "gfxwin/window/win32/directx_host.h"
#include "gfxwin/window/win32/gdi_host.h"
#include "gfxwin/window/window.h"
#include "platform/threads.h"

// After the window layer's headers: windows.h names a macro CreateWindow.
#include <windows.h>
#undef CreateWindow

namespace {

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

struct Times {
    double median, mean, minimum;
};

Times Summarise(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double u : us) sum += u;
    return {us[us.size() / 2], sum / static_cast<double>(us.size()), us.front()};
}

struct Driver {
    const char* name;  // as "KRGFX" names it
    gfxwin::HostFactory openHost;
};

// Passes run on this thread with a window of the driver's host: mode 18 in
// memory (the Null driver) shown as the window thread shows it.
bool MeasurePasses(const Driver& driver, int passes) {
    _putenv_s("KRGFX", "null");
    if (gfxwin::OpenScreen(18, 8, 0, 0, 0) != 0) return false;
    gfxwin::ScreenState& s = *gfxwin::CurrentScreen();
    gfxwin::WindowState ws{};
    gfxwin::MouseState mouse{};
    ws.openHost = driver.openHost;
    ws.screen = &s;
    ws.title = "driver_bench";
    ws.width = 640;
    ws.height = 480;
    ws.depth = 8;
    ws.active = true;
    gfxwin::DriverLock();
    const bool made = gfxwin::PresentationInit(ws);
    gfxwin::DriverUnlock();
    if (!made) {
        gfxwin::CloseScreen();
        return false;
    }
    for (int i = 0; i < 256; ++i) gfxwin::SetPaletteCopyEntry(ws, i, i, 255 - i, i / 2);
    for (int y = 0; y < 480; ++y) std::fill_n(s.framebuffer + y * s.pitch, s.pitch, y & 0xFF);

    struct Case {
        const char* name;
        int first, end;
    };
    for (const Case& c :
         {Case{"full frame (480 rows)", 0, 480}, Case{"one text row (16 rows)", 224, 240}}) {
        std::vector<double> us;
        for (int i = 0; i < passes; ++i) {
            gfxwin::MarkRowsDirty(s, c.first, c.end);
            gfxwin::DriverLock();
            const double t0 = Now();
            gfxwin::UpdatePass(ws, mouse);
            const double t1 = Now();
            gfxwin::DriverUnlock();
            us.push_back((t1 - t0) * 1e6);
        }
        const Times t = Summarise(us);
        std::printf("%-7s update pass, %s: median %.1f us, mean %.1f us, min %.1f us (%d passes)\n",
                    driver.name, c.name, t.median, t.mean, t.minimum, passes);
    }
    gfxwin::DriverLock();
    gfxwin::PresentationExit(ws);
    gfxwin::DriverUnlock();
    gfxwin::CloseScreen();
    return true;
}

// The open window of a real run (the driver, its window thread) while the
// program waits: the process CPU time over the interval.
bool MeasureIdle(const Driver& driver, int seconds) {
    _putenv_s("KRGFX", driver.name);
    if (gfxwin::OpenScreen(18, 8, 0, 0, 0) != 0) return false;
    Sleep(1000);  // past the start
    const gfxwin::PresentationStats before = gfxwin::ReadPresentationStats();
    const long long cpu0 = platform::ProcessCpuMicros();
    const double t0 = Now();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const long long cpu1 = platform::ProcessCpuMicros();
    const double t1 = Now();
    const gfxwin::PresentationStats after = gfxwin::ReadPresentationStats();
    const double cpuMs = static_cast<double>(cpu1 - cpu0) / 1000.0;
    std::printf(
        "%-7s idle window: %.1f ms CPU in %.1f s = %.2f %% of one core; %llu passes (%.1f per "
        "s), %llu transfers\n",
        gfxwin::CurrentScreen()->driver->name, cpuMs, t1 - t0, cpuMs / ((t1 - t0) * 10.0),
        static_cast<unsigned long long>(after.passes - before.passes),
        static_cast<double>(after.passes - before.passes) / (t1 - t0),
        static_cast<unsigned long long>(after.transfers - before.transfers));
    std::fflush(stdout);
    gfxwin::CloseScreen();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::atoi(argv[1]) : 300;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    const Driver drivers[] = {{"DirectX", gfxwin::win32::OpenDirectXHost},
                              {"GDI", gfxwin::win32::OpenGdiHost}};
    for (const Driver& driver : drivers) {
        if (!MeasurePasses(driver, passes)) {
            std::fprintf(stderr, "driver_bench: no %s window (no display)\n", driver.name);
            return 1;
        }
        std::fflush(stdout);
    }
    if (seconds <= 0) return 0;
    for (const Driver& driver : drivers) {
        if (!MeasureIdle(driver, seconds)) return 1;
    }
    return 0;
}
