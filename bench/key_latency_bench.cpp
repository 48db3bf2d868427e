// Key-to-screen latency in the window: from a key code posted into the key
// buffer until the window shows its echo, while the line editor runs.
//
// How it is measured: the screen is opened on the X11 driver (DISPLAY must
// name a server) and a second thread runs the line editor in it, as the
// program's main thread does. The benchmark thread takes the driver lock,
// posts a character into the key buffer as the window thread does for a key
// press, and notes the time. It then looks under the driver lock every
// 100 microseconds until the character's cell in the framebuffer holds the
// glyph and the cell's pixel rows are no longer marked dirty: the update pass
// clears the marks only after it has handed the rows to the window system
// (with shared memory it waits until the server has read them), so that is
// the moment the echo is on the screen. The time between the two is one
// sample. Before each key the benchmark waits a random 0..30 ms so that keys
// fall on every phase of the editor's 25 ms key poll and the 10 ms update
// pass. Not included: the X server delivering a real key event and the wait
// for the next pass to read it (up to one pass more).
//
// Counters: median_ms and max_ms over the samples (and p90_ms). The editor
// polls every 25 ms and a pass runs every 10 ms, so a key should show within
// about 35 ms; a figure far above that is a fault.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "gfxwin/data/builtin_data.h"
#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/window/window.h"
#include "gfxwin/window_driver.h"
#include "textio/console.h"
#include "textio/edit_line.h"
#include "textio/locate.h"
#include "textio/screen_channel.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kForeground = 15;
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
constexpr int kKeysPerLine = 40;

// Posts a key code as the window thread does.
void PostUnderLock(int32_t code) {
    gfxwin::DriverLock();
    gfxwin::PostKey(code);
    gfxwin::DriverUnlock();
}

// The editor on its own thread: one line after the other, each from the top
// left of the screen, until asked to stop.
class EditorThread {
  public:
    EditorThread() : thread_([this] { Run(); }) {}
    ~EditorThread() {
        stop_ = true;
        PostUnderLock(textio::editkey::kEnter);
        thread_.join();
    }
    EditorThread(const EditorThread&) = delete;
    EditorThread& operator=(const EditorThread&) = delete;

    int linesDone() const { return lines_.load(); }

  private:
    void Run() {
        while (!stop_) {
            textio::LocateChecked(1, 1, -1);
            textio::EditLine(true);
            ++lines_;
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<int> lines_{0};
    std::thread thread_;
};

// Under the driver lock: the 0-based cell (column, 0) shows the glyph of
// `code` in the foreground colour and a pass has shown its rows.
bool EchoPresented(int column, unsigned char code) {
    const gfxwin::ScreenState& s = *gfxwin::CurrentScreen();
    const gfxwin::FontDesc* font = gfxwin::BuiltinFont(2);
    for (int y = 0; y < kCellHeight; ++y) {
        if (s.dirtyRows[y] != 0) return false;
        const uint8_t bits = font->glyphs[code * kCellHeight + y];
        const uint8_t* row = s.framebuffer + static_cast<size_t>(y) * s.pitch;
        for (int x = 0; x < kCellWidth; ++x) {
            const bool lit = row[column * kCellWidth + x] == kForeground;
            if (lit != (((bits >> x) & 1) != 0)) return false;
        }
    }
    return true;
}

void BM_KeyToScreenLatency(benchmark::State& state) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        state.SkipWithError("DISPLAY is not set");
        return;
    }
    setenv("KRGFX", "x11", 1);
    if (gfxwin::OpenScreen(18, 8, 0, 0, 0) != 0 || gfxwin::CurrentScreen() == nullptr ||
        std::strcmp(gfxwin::CurrentScreen()->driver->name, "X11") != 0) {
        gfxwin::CloseScreen();
        state.SkipWithError("the X11 driver did not start");
        return;
    }
    textio::ScreenInit();
    textio::ClearScreen(textio::kClearDefault);

    std::vector<double> samples;
    bool late = false;
    {
        EditorThread editor;
        std::mt19937 random(1931);
        std::uniform_int_distribution<int> pause(0, 30);
        int column = 0;
        for (auto _ : state) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
            // Letters that differ from their neighbours, so a cell never
            // already shows the next one.
            const auto code = static_cast<unsigned char>('A' + column % 26);
            gfxwin::DriverLock();
            gfxwin::PostKey(code);
            const auto posted = Clock::now();
            gfxwin::DriverUnlock();
            auto shown = posted;
            for (;;) {
                std::this_thread::sleep_for(100us);
                gfxwin::DriverLock();
                const bool done = EchoPresented(column, code);
                shown = Clock::now();
                gfxwin::DriverUnlock();
                if (done) break;
                if (shown - posted > 2s) break;
            }
            if (shown - posted > 2s) {
                late = true;
                state.SkipWithError("a key did not show within 2 s");
                break;
            }
            const double seconds = std::chrono::duration<double>(shown - posted).count();
            state.SetIterationTime(seconds);
            samples.push_back(seconds * 1000.0);
            // Empty the line and start a new one at the top left.
            if (++column == kKeysPerLine) {
                const int lines = editor.linesDone();
                PostUnderLock(textio::editkey::kEscape);
                PostUnderLock(textio::editkey::kEnter);
                while (editor.linesDone() == lines) std::this_thread::sleep_for(1ms);
                column = 0;
            }
        }
    }
    gfxwin::CloseScreen();
    if (late || samples.empty()) return;
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2];
    state.counters["p90_ms"] = samples[samples.size() * 9 / 10];
    state.counters["max_ms"] = samples.back();
}
BENCHMARK(BM_KeyToScreenLatency)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace
