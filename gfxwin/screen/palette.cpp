#include "gfxwin/screen/palette.h"

#include <algorithm>
#include <span>

#include "gfxwin/data/builtin_data.h"
#include "gfxwin/screen/drawing_state.h"
#include "gfxwin/screen/mode_table.h"
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

DacPorts& Dac() {
    return Drawing().dac;
}

// Stores device entry `index` and hands it to the driver (components 0..255).
void SetDeviceEntry(ScreenState& screen, int index, uint32_t colour) {
    screen.devicePalette[index] = colour;
    if (screen.driver != nullptr && screen.driver->setPalette != nullptr) {
        screen.driver->setPalette(index, colour & 0xFF, (colour >> 8) & 0xFF,
                                  (colour >> 16) & 0xFF);
    }
}

uint8_t SixToEight(int value) {
    value &= 0x3F;
    return static_cast<uint8_t>((value << 2) | (value >> 4));
}

}  // namespace

void ResetVgaPorts() {
    Dac() = DacPorts{};
}

void ApplyDefaultPalette(ScreenState& s) {
    if (s.depth > 8 || s.defaultPalette == nullptr) return;
    const ScreenLockGuard lock;
    const PaletteDesc& desc = *s.defaultPalette;
    const int count = std::min(desc.count, kPaletteSize);
    for (int i = 0; i < count; ++i) {
        const uint8_t* rgb = desc.rgb + 3 * i;
        s.palette[i] = rgb[0] | (uint32_t{rgb[1]} << 8) | (uint32_t{rgb[2]} << 16);
    }
    // The association is read after the whole palette is in place, so that a
    // device entry may name any logical entry.
    const std::span<const uint8_t> association = ColourAssociation(s.modeNumber, -1);
    const size_t associated =
        std::min(association.size(), static_cast<size_t>(kColourAssociationSize));
    std::copy_n(association.begin(), associated, s.colourAssociation.Get());
    const int deviceCount = std::min(count, 1 << s.depth);
    for (int i = 0; i < deviceCount; ++i) {
        const bool mapped = static_cast<size_t>(i) < association.size();
        SetDeviceEntry(s, i, mapped ? s.palette[s.colourAssociation[i]] : s.palette[i]);
    }
    MarkAllRowsDirty(s);
}

void SetScreenPaletteEntry(int index, uint8_t red, uint8_t green, uint8_t blue) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr || index < 0 || index >= kPaletteSize) return;
    const uint32_t colour = red | (uint32_t{green} << 8) | (uint32_t{blue} << 16);
    const ScreenLockGuard lock;
    screen->palette[index] = colour;
    SetDeviceEntry(*screen, index, colour);
}

int32_t PortIn(int32_t port) {
    DacPorts& dac = Dac();
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
    DacPorts& dac = Dac();
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
                SetScreenPaletteEntry(dac.writeIndex, dac.pending[0], dac.pending[1],
                                      dac.pending[2]);
                dac.writeIndex = (dac.writeIndex + 1) & 0xFF;
            }
            break;
        default:
            break;
    }
}

}  // namespace gfxwin
