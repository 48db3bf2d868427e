#include "gfxwin/screen/palette.h"

#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/window_driver.h"

namespace gfxwin {

namespace {

constexpr int32_t kDacReadIndex = 0x3C7;
constexpr int32_t kDacWriteIndex = 0x3C8;
constexpr int32_t kDacData = 0x3C9;
constexpr int32_t kInputStatus = 0x3DA;
constexpr int32_t kRetraceBits = 0x09;  // vertical retrace + display disabled

struct DacState {
    int writeIndex = 0;
    int writeComponent = 0;
    uint8_t pending[3] = {0, 0, 0};
    int readIndex = 0;
    int readComponent = 0;
    bool retrace = false;
};

DacState& Dac() {
    static DacState state;
    return state;
}

uint8_t SixToEight(int value) {
    value &= 0x3F;
    return static_cast<uint8_t>((value << 2) | (value >> 4));
}

}  // namespace

void ResetVgaPorts() {
    Dac() = DacState{};
}

void SetPaletteEntry(int index, uint8_t red, uint8_t green, uint8_t blue) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr || index < 0 || index >= kPaletteSize) return;
    const uint32_t colour = red | (uint32_t{green} << 8) | (uint32_t{blue} << 16);
    LockScreen();
    screen->palette[index] = colour;
    screen->devicePalette[index] = colour;
    if (screen->driver != nullptr && screen->driver->setPalette != nullptr) {
        screen->driver->setPalette(index, red, green, blue);
    }
    UnlockScreen(1, 0);
}

int32_t PortIn(int32_t port) {
    DacState& dac = Dac();
    switch (port) {
        case kDacWriteIndex:
            return dac.writeIndex;
        case kDacData: {
            const ScreenState* screen = CurrentScreen();
            if (screen == nullptr) return 0;
            const uint32_t colour = screen->palette[dac.readIndex];
            const int32_t value =
                static_cast<int32_t>((colour >> (8 * dac.readComponent)) & 0xFF) >> 2;
            if (++dac.readComponent == 3) {
                dac.readComponent = 0;
                dac.readIndex = (dac.readIndex + 1) & 0xFF;
            }
            return value;
        }
        case kInputStatus:
            dac.retrace = !dac.retrace;
            return dac.retrace ? kRetraceBits : 0;
        default:
            return 0;
    }
}

void PortOut(int32_t port, int32_t value) {
    DacState& dac = Dac();
    switch (port) {
        case kDacReadIndex:
            dac.readIndex = value & 0xFF;
            dac.readComponent = 0;
            break;
        case kDacWriteIndex:
            dac.writeIndex = value & 0xFF;
            dac.writeComponent = 0;
            break;
        case kDacData:
            dac.pending[dac.writeComponent] = SixToEight(value);
            if (++dac.writeComponent == 3) {
                dac.writeComponent = 0;
                SetPaletteEntry(dac.writeIndex, dac.pending[0], dac.pending[1], dac.pending[2]);
                dac.writeIndex = (dac.writeIndex + 1) & 0xFF;
            }
            break;
        default:
            break;
    }
}

}  // namespace gfxwin
