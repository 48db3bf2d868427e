// The framebuffer's text work on the Null screen, each next to the plain
// memory operation over the same 640x480 bytes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/text/text_console.h"
#include "gfxwin/text/text_engine.h"

namespace {

constexpr size_t kFramebufferBytes = 640 * 480;

// Opens mode 18 without a window for the life of one benchmark; when it does
// not open, the benchmark is skipped with an error.
class NullScreen {
  public:
    explicit NullScreen(benchmark::State& state) {
        setenv("KRGFX", "null", 1);
        ok_ = gfxwin::OpenScreen(18, 8, 0, 0, 0) == 0;
        if (!ok_) state.SkipWithError("screen did not open");
    }
    ~NullScreen() { gfxwin::CloseScreen(); }
    bool ok() const { return ok_; }

  private:
    bool ok_ = false;
};

std::string FullScreenText() {
    std::string text;
    for (int i = 0; i < 80 * 30; ++i) text.push_back(static_cast<char>(' ' + i % 95));
    return text;
}

// Times `pass` once per iteration over `memory`; each pass counts as one
// framebuffer of bytes.
template <typename Pass>
void TimeFramebufferPasses(benchmark::State& state, const void* memory, Pass pass) {
    for (auto _ : state) {
        pass();
        benchmark::DoNotOptimize(memory);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFramebufferBytes));
}

void BM_PrintFullScreen(benchmark::State& state) {
    NullScreen screen(state);
    if (!screen.ok()) return;
    const std::string text = FullScreenText();
    TimeFramebufferPasses(state, gfxwin::CurrentScreen()->framebuffer, [&] {
        gfxwin::Locate(1, 1, 0);
        gfxwin::PrintText(text.data(), text.size(), 0);
    });
}
BENCHMARK(BM_PrintFullScreen);

// The same with the portable 64-bit glyph row stores only.
void BM_PrintFullScreenPortable(benchmark::State& state) {
    gfxwin::UseWideGlyphStores(false);
    BM_PrintFullScreen(state);
    gfxwin::UseWideGlyphStores(true);
}
BENCHMARK(BM_PrintFullScreenPortable);

void BM_ScrollFullScreen(benchmark::State& state) {
    NullScreen screen(state);
    if (!screen.ok()) return;
    const std::string text = FullScreenText();
    gfxwin::PrintText(text.data(), text.size(), 0);
    TimeFramebufferPasses(state, gfxwin::CurrentScreen()->framebuffer, [] {
        gfxwin::Locate(30, 1, 0);
        gfxwin::PrintText("\n", 1, 0);  // a line end on the bottom row scrolls by one row
    });
}
BENCHMARK(BM_ScrollFullScreen);

void BM_ClearScreen(benchmark::State& state) {
    NullScreen screen(state);
    if (!screen.ok()) return;
    TimeFramebufferPasses(state, gfxwin::CurrentScreen()->framebuffer,
                          [] { gfxwin::ClearGraphicsScreen(0); });
}
BENCHMARK(BM_ClearScreen);

// Plain references over the same number of bytes.
void BM_PlainMemset(benchmark::State& state) {
    std::vector<uint8_t> buffer(kFramebufferBytes);
    int value = 0;
    TimeFramebufferPasses(state, buffer.data(),
                          [&] { std::memset(buffer.data(), value++ & 0xFF, buffer.size()); });
}
BENCHMARK(BM_PlainMemset);

void BM_PlainMemmoveScroll(benchmark::State& state) {
    std::vector<uint8_t> buffer(kFramebufferBytes, 7);
    const size_t shift = 16 * 640;
    TimeFramebufferPasses(state, buffer.data(), [&] {
        std::memmove(buffer.data(), buffer.data() + shift, buffer.size() - shift);
        std::memset(buffer.data() + buffer.size() - shift, 0, shift);
    });
}
BENCHMARK(BM_PlainMemmoveScroll);

void BM_PlainMemcpy(benchmark::State& state) {
    std::vector<uint8_t> source(kFramebufferBytes, 3);
    std::vector<uint8_t> target(kFramebufferBytes);
    TimeFramebufferPasses(state, target.data(),
                          [&] { std::memcpy(target.data(), source.data(), source.size()); });
}
BENCHMARK(BM_PlainMemcpy);

}  // namespace
