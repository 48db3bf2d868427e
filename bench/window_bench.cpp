// The window: one update pass (a full frame, one text row), the CPU an idle
// open window uses, and the time from OpenScreen to a mapped window. The
// window-system measurements need an X server (DISPLAY) whose screen holds
// the window at the largest scale measured (2560x1920 for scale 4): the
// server copies only what lies on its screen.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/window/presentation.h"
#include "gfxwin/window/window.h"
#include "gfxwin/window/window_host.h"
#include "platform/threads.h"

#ifdef WL_HAVE_X11
#include "gfxwin/window/x11/x11_host.h"
#endif

namespace {

using gfxwin::WindowState;

// A host whose picture is plain memory: the pass without a window system.
class MemoryHost final : public gfxwin::host::WindowHost {
  public:
    MemoryHost() : picture_(640 * 480 * 4) {}
    bool CreateWindow(const gfxwin::host::WindowRequest&) override { return true; }
    void DestroyWindow() override {}
    uint8_t* Picture() override { return picture_.data(); }
    int32_t PicturePitch() const override { return 640 * 4; }
    gfxwin::host::PixelFormat Format() const override { return {32, 0xFF0000, 0xFF00, 0xFF}; }
    void ShowRows(int32_t, int32_t count) override { benchmark::DoNotOptimize(count); }
    void Pump(gfxwin::host::MessageSink&) override {}
    bool ConnectionLost() const override { return false; }
    void KeyboardState(uint8_t state[256]) override { std::memset(state, 0, 256); }
    bool PointerInClient() override { return false; }
    void SetTitle(const char*) override {}
    void MoveWindow(int32_t, int32_t) override {}
    bool WindowPosition(int32_t*, int32_t*) override { return false; }
    void WarpPointer(int32_t, int32_t) override {}
    void ShowPointer(bool) override {}
    void ConfinePointer(bool) override {}
    void SetFullScreen(bool) override {}
    int32_t RefreshRate() override { return 0; }
    void ScreenSize(int32_t* w, int32_t* h, int32_t* d) override { *w = *h = *d = 0; }

  private:
    std::vector<uint8_t> picture_;
};

// Mode 18 in memory (Null driver) with a window state of our own, whose
// passes this thread runs itself.
class PassRig {
  public:
    explicit PassRig(gfxwin::host::WindowHost* host) : host_(host) {
        setenv("KRGFX", "null", 1);
        if (gfxwin::OpenScreen(18, 8, 0, 0, 0) != 0 || host_ == nullptr) return;
        ws_.screen = gfxwin::CurrentScreen();
        ws_.host = host_.get();
        ws_.width = 640;
        ws_.height = 480;
        ws_.active = true;
        if (!host_->CreateWindow({"bench", 640, 480, false})) return;
        ws_.convert = gfxwin::ChooseConverter(8, host_->Format());
        ok_ = ws_.convert != nullptr;
        // Something to show: every pixel row has a different colour index.
        uint8_t* fb = ws_.screen->framebuffer;
        for (int y = 0; y < 480; ++y) std::memset(fb + y * 640, y & 0xFF, 640);
    }
    ~PassRig() {
        if (host_ != nullptr) host_->DestroyWindow();
        host_.reset();
        gfxwin::CloseScreen();
    }
    bool ok() const { return ok_; }
    void Pass(int32_t first, int32_t rows) {
        gfxwin::MarkRowsDirty(*ws_.screen, first, first + rows);
        gfxwin::UpdatePass(ws_, mouse_);
    }

  private:
    std::unique_ptr<gfxwin::host::WindowHost> host_;
    WindowState ws_{};
    gfxwin::MouseState mouse_{};
    bool ok_ = false;
};

// `rows` framebuffer rows shown per pass: 480 (the whole frame) or 16 (one
// text row).
void RunPasses(benchmark::State& state, gfxwin::host::WindowHost* host, int64_t rowCount) {
    PassRig rig(host);
    if (!rig.ok()) {
        state.SkipWithError("no window");
        return;
    }
    const auto rows = static_cast<int32_t>(rowCount);
    for (auto _ : state) rig.Pass(rows == 480 ? 0 : 200, rows);
    state.SetItemsProcessed(state.iterations() * rows);
}

// The pass into memory: conversion through the palette and the bookkeeping.
void BM_UpdatePassMemory(benchmark::State& state) {
    RunPasses(state, new MemoryHost(), state.range(0));
}
BENCHMARK(BM_UpdatePassMemory)->Arg(480)->Arg(16);

#ifdef WL_HAVE_X11
bool HaveDisplay(benchmark::State& state) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        state.SkipWithError("DISPLAY is not set");
        return false;
    }
    return true;
}

// The scale of the windows opened while it lives (WL_SCALE); GDK_SCALE is
// left out.
class UseScale {
  public:
    explicit UseScale(int64_t scale) {
        setenv("WL_SCALE", std::to_string(scale).c_str(), 1);
        unsetenv("GDK_SCALE");
    }
    ~UseScale() { unsetenv("WL_SCALE"); }
    UseScale(const UseScale&) = delete;
    UseScale& operator=(const UseScale&) = delete;
};

// The pass into a real window shown at a scale: conversion, scaling, the
// transfer to the server (shared memory when it offers it) and the wait
// until the server has the pixels. Arguments: scale, rows.
void BM_UpdatePassX11(benchmark::State& state) {
    if (!HaveDisplay(state)) return;
    const UseScale scale(state.range(0));
    RunPasses(state, gfxwin::x11::OpenX11Host(), state.range(1));
    state.SetLabel(gfxwin::x11::LastWindowUsedSharedMemory() ? "shm" : "plain");
}
BENCHMARK(BM_UpdatePassX11)
    ->ArgsProduct({{1, 2, 4}, {480, 16}})
    ->ArgNames({"scale", "rows"})
    ->Unit(benchmark::kMicrosecond);

void BM_UpdatePassX11Plain(benchmark::State& state) {
    if (!HaveDisplay(state)) return;
    const UseScale scale(state.range(0));
    gfxwin::x11::DisableSharedMemoryForNextWindow();
    RunPasses(state, gfxwin::x11::OpenX11Host(), state.range(1));
}
BENCHMARK(BM_UpdatePassX11Plain)
    ->ArgsProduct({{1, 2}, {480, 16}})
    ->ArgNames({"scale", "rows"})
    ->Unit(benchmark::kMicrosecond);

// The whole process's CPU time while an open window shows nothing new for
// 10 s, as a share of one core. Argument: the scale.
void BM_IdleWindowCpu(benchmark::State& state) {
    if (!HaveDisplay(state)) return;
    setenv("KRGFX", "x11", 1);
    const UseScale scale(state.range(0));
    if (gfxwin::OpenScreen(18, 8, 0, 0, 0) != 0) {
        state.SkipWithError("the window did not open");
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // first frame shown
    double percent = 0;
    uint64_t passes = 0;
    for (auto _ : state) {
        const gfxwin::PresentationStats before = gfxwin::ReadPresentationStats();
        const long long cpu0 = platform::ProcessCpuMicros();
        const auto t0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const long long cpu1 = platform::ProcessCpuMicros();
        const auto t1 = std::chrono::steady_clock::now();
        const double wall = std::chrono::duration<double, std::micro>(t1 - t0).count();
        percent = 100.0 * static_cast<double>(cpu1 - cpu0) / wall;
        passes = gfxwin::ReadPresentationStats().passes - before.passes;
    }
    gfxwin::CloseScreen();
    state.counters["cpu_percent_of_core"] = percent;
    state.counters["passes_per_s"] = static_cast<double>(passes) / 10.0;
}
BENCHMARK(BM_IdleWindowCpu)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond);

// From the OpenScreen call until it returns with the window mapped.
void BM_OpenScreenToMappedWindow(benchmark::State& state) {
    if (!HaveDisplay(state)) return;
    setenv("KRGFX", "x11", 1);
    const UseScale scale(1);
    for (auto _ : state) {
        if (gfxwin::OpenScreen(18, 8, 0, 0, 0) != 0) {
            state.SkipWithError("the window did not open");
            return;
        }
        state.PauseTiming();
        gfxwin::CloseScreen();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenScreenToMappedWindow)->Unit(benchmark::kMillisecond)->Iterations(20);
#endif

}  // namespace
