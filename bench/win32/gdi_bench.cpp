// Measurements of the GDI window (Google Benchmark is not built for Windows
// here, so these are plain timed loops): the cost of one update pass for a
// full frame and for one text row, and the CPU an idle open window uses.
// Needs a desktop (under Wine: DISPLAY).
//
//   gdi_bench.exe [passes] [idle seconds]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/window/presentation.h"
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

// Passes run on this thread with a window of its own: mode 18 in memory (the
// Null driver) shown through the GDI host, as the window thread shows it.
bool MeasurePasses(int passes) {
    _putenv_s("KRGFX", "null");
    if (gfxwin::OpenScreen(18, 8, 0, 0, 0) != 0) return false;
    gfxwin::ScreenState& s = *gfxwin::CurrentScreen();
    gfxwin::host::WindowHost* host = gfxwin::win32::OpenGdiHost();
    gfxwin::WindowState ws{};
    gfxwin::MouseState mouse{};
    ws.host = host;
    ws.screen = &s;
    ws.width = 640;
    ws.height = 480;
    ws.depth = 8;
    ws.active = 1;
    if (!host->CreateWindow({"gdi_bench", 640, 480, false, 8, 0, 0})) {
        delete host;
        gfxwin::CloseScreen();
        return false;
    }
    ws.indexed = true;
    ws.convert = nullptr;
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
        std::printf("update pass, %s: median %.1f us, mean %.1f us, min %.1f us (%d passes)\n",
                    c.name, t.median, t.mean, t.minimum, passes);
    }
    const gfxwin::win32::GdiCounters counters = gfxwin::win32::ReadGdiCounters();
    std::printf("  SetDIBitsToDevice calls: %llu for %llu rows\n", counters.transfers,
                counters.rows);
    host->DestroyWindow();
    delete host;
    gfxwin::CloseScreen();
    return true;
}

// The open window of a real run (the GDI driver, its window thread) while the
// program waits: the process CPU time over the interval.
bool MeasureIdle(int seconds) {
    _putenv_s("KRGFX", "gdi");
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
        "idle window: %.1f ms CPU in %.1f s = %.2f %% of one core; %llu passes (%.1f per s), "
        "%llu transfers\n",
        cpuMs, t1 - t0, cpuMs / ((t1 - t0) * 10.0),
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
    if (!MeasurePasses(passes)) {
        std::fprintf(stderr, "gdi_bench: no window (no display)\n");
        return 1;
    }
    std::fflush(stdout);
    if (seconds > 0 && !MeasureIdle(seconds)) return 1;
    return 0;
}
