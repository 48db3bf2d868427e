// The record of the open graphics screen, the memory it is built from, and the
// accessor through which every part of the window layer reaches it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfxwin/data/builtin_data.h"
#include "platform/threads.h"

namespace gfxwin {

struct WindowDriver;
struct PixelRoutines;

// One character cell of the text shadow.
struct TextCell {
    uint16_t code;  // 0..255
    uint32_t foreground;
    uint32_t background;
};

// One recorded window event (20 bytes): a kind and four kind-specific fields.
struct WindowEvent {
    int32_t kind;
    int32_t field[4];
};
static_assert(sizeof(WindowEvent) == 20, "window events are 20 bytes");

constexpr int kEventQueueSize = 128;
constexpr int kKeyStateCount = 128;
constexpr int kPaletteSize = 256;
constexpr int kLookupEntries = 512;
constexpr int kColourAssociationSize = 16;
// Bytes of a window title buffer, with its terminating zero.
constexpr size_t kTitleCapacity = 128;

// Guards the event queue. A binary semaphore in spirit: one holder at a time.
class EventGuard {
  public:
    void Acquire() { mutex_.Lock(); }
    void Release() { mutex_.Unlock(); }

  private:
    platform::Mutex mutex_;
};

// Status flag values.
constexpr uint32_t kStatusPendingLineFeed = 4;
constexpr uint32_t kStatusAlpha = 8;
constexpr uint32_t kStatusOpenGL = 0x20000000;

struct ScreenState {
    int32_t modeId;
    int32_t modeNumber;
    uint8_t** pages;  // pageCount buffers of pitch * height bytes, 16-byte aligned
    int32_t pageCount;
    int32_t visiblePage;
    uint8_t* framebuffer;  // pages[visiblePage]
    int32_t width;
    int32_t height;
    int32_t depth;
    int32_t bytesPerPixel;
    int32_t pitch;
    uint32_t* palette;           // kPaletteSize entries, 0x00BBGGRR
    uint32_t* devicePalette;     // kPaletteSize entries, as handed to the driver
    uint8_t* colourAssociation;  // 16 entries
    uint8_t* dirtyRows;          // height * scanlineSize marks, 1 = changed
    const WindowDriver* driver;
    uint32_t colourMask;
    const PaletteDesc* defaultPalette;
    int32_t scanlineSize;
    int32_t cursorColumn;  // 0-based
    int32_t cursorRow;     // 0-based
    const FontDesc* font;
    int32_t textColumns;
    int32_t textRows;
    float aspect;
    uint8_t* keyStates;  // kKeyStateCount entries
    int32_t refreshRate;
    TextCell** textShadow;  // one textColumns * textRows grid per page
    WindowEvent* events;    // kEventQueueSize entries
    int32_t eventHead;
    int32_t eventTail;
    EventGuard* eventGuard;
    uint32_t statusFlags;
    int32_t lockCount;
    const PixelRoutines* pixels;
};

// The open screen, or null.
ScreenState* CurrentScreen();
void SetCurrentScreen(ScreenState* screen);

// Hands out the id for the next screen that opens: 1, 2, 3, ...
int32_t NextModeId();

// The 512-entry lookup area of the presentation converters (null when none).
uint32_t* LookupArea();
void SetLookupArea(uint32_t* area);

// Sets the dirty-row marks for pixel rows [first, end), clipped to the marks.
void MarkRowsDirty(ScreenState& screen, int32_t first, int32_t end);
void MarkAllRowsDirty(ScreenState& screen);

// Memory of the screen: 16-byte aligned, never throws, null on failure.
void* ScreenAlloc(size_t bytes, bool zeroed);
void ScreenFree(void* block);

// Test aid: makes the n-th ScreenAlloc from now fail (1 = the next one);
// 0 switches failures off.
void FailScreenAllocation(int nth);
// Test aid: how many ScreenAlloc calls have been made since process start.
long ScreenAllocationCount();

}  // namespace gfxwin
