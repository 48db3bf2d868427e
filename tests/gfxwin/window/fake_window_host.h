// A window host without a window system: it keeps the picture in memory,
// records what the window layer asked of it, and hands out messages and a
// keyboard state that a test sets.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "gfxwin/window/window_host.h"

namespace gfxwin::testing {

class FakeWindowHost final : public host::WindowHost {
  public:
    explicit FakeWindowHost(host::PixelFormat format = {32, 0xFF0000, 0xFF00, 0xFF},
                            int32_t width = 640, int32_t height = 480)
        : format_(format), width_(width), height_(height) {
        pitch_ = width * ((format.bitsPerPixel + 7) / 8);
        picture_.assign(static_cast<size_t>(pitch_) * static_cast<size_t>(height), 0);
    }

    bool CreateWindow(const host::WindowRequest& request) override {
        created = true;
        title = request.title != nullptr ? request.title : "";
        fullScreen = request.fullScreen;
        return !refuseCreate;
    }
    void DestroyWindow() override { destroyed = true; }

    uint8_t* Picture() override { return picture_.data(); }
    int32_t PicturePitch() const override { return pitch_; }
    host::PixelFormat Format() const override { return format_; }
    void ShowRows(int32_t first, int32_t count) override { shown.emplace_back(first, count); }
    void SetColours(const uint8_t (&table)[256][4]) override {
        colours.assign(&table[0][0], &table[0][0] + 256 * 4);
        ++colourUpdates;
    }
    void ShowRowsFrom(const uint8_t* rows, int32_t pitch, int32_t first, int32_t count) override {
        shownFrom.push_back(RowsFrom{rows, pitch, first, count});
    }

    void Pump(host::MessageSink& sink) override {
        std::vector<host::WindowMessage> pending;
        pending.swap(queued);
        for (const host::WindowMessage& m : pending) results.push_back(sink.Deliver(m));
    }
    bool ConnectionLost() const override { return lost; }

    void KeyboardState(uint8_t state[256]) override { std::memcpy(state, keys, 256); }
    bool PointerInClient() override { return pointerInside; }

    void SetTitle(const char* text) override { title = text; }
    void MoveWindow(int32_t x, int32_t y) override { moves.emplace_back(x, y); }
    bool WindowPosition(int32_t* x, int32_t* y) override {
        *x = 100;
        *y = 50;
        return true;
    }
    void WarpPointer(int32_t x, int32_t y) override { warps.emplace_back(x, y); }
    void ShowPointer(bool visible) override { pointerVisible = visible; }
    void ConfinePointer(bool confine) override { confines.push_back(confine); }
    void SetFullScreen(bool on) override {
        fullScreen = on;
        ++fullScreenSwitches;
    }
    int32_t RefreshRate() override { return 60; }
    void ScreenSize(int32_t* width, int32_t* height, int32_t* depth) override {
        *width = 1024;
        *height = 768;
        *depth = 24;
    }

    // Sets a virtual key's pressed state.
    void Hold(int virtualKey, bool down = true) { keys[virtualKey] = down ? 0x80 : 0; }

    host::PixelFormat format_;
    int32_t width_, height_, pitch_;
    std::vector<uint8_t> picture_;

    bool created = false, destroyed = false, refuseCreate = false, lost = false;
    bool fullScreen = false, pointerInside = false, pointerVisible = true;
    int fullScreenSwitches = 0;
    std::string title;
    uint8_t keys[256] = {};
    std::vector<host::WindowMessage> queued;
    std::vector<host::MessageResult> results;  // the answers to the pumped messages
    std::vector<std::pair<int32_t, int32_t>> shown, moves, warps;
    std::vector<bool> confines;
    // Indexed pictures: the colour table last set, and the rows shown from
    // outside the picture.
    struct RowsFrom {
        const uint8_t* rows;
        int32_t pitch, first, count;
    };
    std::vector<uint8_t> colours;
    int colourUpdates = 0;
    std::vector<RowsFrom> shownFrom;
};

}  // namespace gfxwin::testing
