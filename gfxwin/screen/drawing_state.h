// The drawing thread's state: everything the drawing side of the screen keeps
// between calls, in one record with one accessor.
//
// Owner: the drawing thread (the program's main thread). The window thread
// reaches only the open screen's shared parts (framebuffer, dirty-row marks,
// palettes, key states, event queue) and the key ring, and only under the
// driver lock, which the drawing thread takes through LockScreen.
//
// The record lives as long as the process: the key ring, the mode-id counter
// and the window title outlast a screen. SetMode makes the open screen's part
// (the ScreenState and the converters' lookup area) and the teardown destroys
// it again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen/screen_state.h"

namespace gfxwin {

constexpr int kKeyRingSlots = 16;

// The key ring between the window thread and the drawing thread (keys/).
struct KeyRing {
    int32_t slots[kKeyRingSlots];
    int readIndex;
    int writeIndex;
    int posted;  // the key-posted flag
};

// The VGA colour DAC and the input status register as old programs see them
// (screen/palette).
struct DacPorts {
    int writeIndex;
    int writeComponent;
    uint8_t pending[3];  // 8-bit components of the entry being written
    int readIndex;
    int readComponent;
    bool retrace;  // flips on every read of the input status register
};

// What opening screens keeps across screens (screen_mode).
struct ScreenSetupState {
    char titleBuffer[kTitleCapacity];
    const char* title;       // null until the first open
    bool endHookRegistered;  // the program end closes the screen
};

// Glyph row byte -> eight 8-bit pixels (bit 0 leftmost) as one 64-bit store,
// for the colour pair it was last built for (text/).
struct GlyphRowCache {
    bool valid;
    uint8_t foreground;
    uint8_t background;
    uint64_t pixels[256];
};

// Counters of the screen memory, for tests that make an allocation fail.
struct ScreenMemoryCounters {
    long allocations;  // ScreenAlloc calls since process start
    long failAt;       // allocation number that fails, 0 = none
};

struct DrawingState {
    ScreenState* screen;  // the open screen, or null
    int32_t lastModeId;   // the id of the last screen opened; 0 before the first
    uint32_t* lookup;     // the open screen's converter lookup area, or null
    DrawContext context;
    DacPorts dac;
    KeyRing keys;
    ScreenSetupState setup;
    GlyphRowCache glyphRows;
    bool narrowGlyphStores;  // paint cells with 64-bit stores only (tests, benchmarks)
    ScreenMemoryCounters memory;
};

// The one record, zeroed at first use.
DrawingState& Drawing();

}  // namespace gfxwin
