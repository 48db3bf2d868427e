// The record of the open graphics screen, the memory it is built from, and the
// accessor through which every part of the window layer reaches it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

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

// Memory of the screen: 16-byte aligned, never throws, null on failure.
void* ScreenAlloc(size_t bytes, bool zeroed);
void ScreenFree(void* block);

// The one owner of a block of screen memory, which holds either one object
// made in it or an array of a trivially destructible type. The block is freed
// (the object destroyed first) with its owner, or when the owner takes
// another. It reads as the plain pointer.
template <typename T>
class ScreenBlock {
  public:
    ScreenBlock() = default;
    explicit ScreenBlock(T* block) : block_(block) {}
    ScreenBlock(ScreenBlock&& other) noexcept : block_(other.Release()) {}
    ScreenBlock& operator=(ScreenBlock&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~ScreenBlock() { Reset(nullptr); }

    operator T*() const { return block_; }
    T* operator->() const { return block_; }
    T* Get() const { return block_; }

    // Takes `block` (from ScreenAlloc, or null) and frees the one held.
    void Reset(T* block) {
        T* old = std::exchange(block_, block);
        if (old == nullptr) return;
        if constexpr (!std::is_trivially_destructible_v<T>) old->~T();
        ScreenFree(old);
    }
    // Gives the block up without freeing it.
    T* Release() { return std::exchange(block_, nullptr); }

  private:
    T* block_ = nullptr;
};

// `count` elements in screen memory, zeroed or not; empty when memory runs out.
template <typename T>
ScreenBlock<T> NewScreenArray(size_t count, bool zeroed) {
    static_assert(std::is_trivially_destructible_v<T>);
    return ScreenBlock<T>(static_cast<T*>(ScreenAlloc(sizeof(T) * count, zeroed)));
}

// One value-initialised object in screen memory; empty when memory runs out.
template <typename T>
ScreenBlock<T> NewScreenObject() {
    void* block = ScreenAlloc(sizeof(T), false);
    return ScreenBlock<T>(block != nullptr ? new (block) T{} : nullptr);
}

// The one owner of a block of screen memory per page and of the list that
// holds them. It reads as the list.
template <typename T>
class PageBlocks {
  public:
    PageBlocks() = default;
    PageBlocks(PageBlocks&& other) noexcept
        : list_(std::move(other.list_)), count_(std::exchange(other.count_, 0)) {}
    PageBlocks& operator=(PageBlocks&& other) noexcept {
        Free();
        list_ = std::move(other.list_);
        count_ = std::exchange(other.count_, 0);
        return *this;
    }
    ~PageBlocks() { Free(); }

    operator T**() const { return list_; }

    // Frees what is held, then makes the list of `pages` and one block of
    // `elements` for each page, zeroed or not. False when memory runs out;
    // what was made until then is held (and freed) as usual.
    bool Allocate(int32_t pages, size_t elements, bool zeroed) {
        static_assert(std::is_trivially_destructible_v<T>);
        Free();
        list_ = NewScreenArray<T*>(static_cast<size_t>(pages), true);
        if (list_ == nullptr) return false;
        count_ = pages;
        for (int32_t p = 0; p < pages; ++p) {
            list_[p] = static_cast<T*>(ScreenAlloc(sizeof(T) * elements, zeroed));
            if (list_[p] == nullptr) return false;
        }
        return true;
    }

  private:
    void Free() {
        for (int32_t p = 0; p < count_; ++p) ScreenFree(list_[p]);
        list_.Reset(nullptr);
        count_ = 0;
    }

    ScreenBlock<T*> list_;
    int32_t count_ = 0;
};

// Status flag values.
constexpr uint32_t kStatusPendingLineFeed = 4;
constexpr uint32_t kStatusAlpha = 8;
constexpr uint32_t kStatusOpenGL = 0x20000000;

// The open screen. Its memory blocks belong to it: they go with the record.
struct ScreenState {
    int32_t modeId;
    int32_t modeNumber;
    PageBlocks<uint8_t> pages;  // pageCount buffers of pitch * height bytes
    int32_t pageCount;
    int32_t visiblePage;
    uint8_t* framebuffer;  // pages[visiblePage]
    int32_t width;
    int32_t height;
    int32_t depth;
    int32_t bytesPerPixel;
    int32_t pitch;
    ScreenBlock<uint32_t> palette;           // kPaletteSize entries, 0x00BBGGRR
    ScreenBlock<uint32_t> devicePalette;     // kPaletteSize entries, as handed to the driver
    ScreenBlock<uint8_t> colourAssociation;  // 16 entries
    ScreenBlock<uint8_t> dirtyRows;          // height * scanlineSize marks, 1 = changed
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
    ScreenBlock<uint8_t> keyStates;  // kKeyStateCount entries
    int32_t refreshRate;
    PageBlocks<TextCell> textShadow;  // one textColumns * textRows grid per page
    ScreenBlock<WindowEvent> events;  // kEventQueueSize entries
    int32_t eventHead;
    int32_t eventTail;
    ScreenBlock<EventGuard> eventGuard;
    uint32_t statusFlags;
    int32_t lockCount;
    const PixelRoutines* pixels;
};

// Makes the record of a new screen, all zero, in screen memory; null when
// memory runs out.
ScreenState* NewScreenState();
// Destroys the record with every block it owns.
void DeleteScreenState(ScreenState* screen);

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

// Test aid: makes the n-th ScreenAlloc from now fail (1 = the next one);
// 0 switches failures off.
void FailScreenAllocation(int nth);
// Test aid: how many ScreenAlloc calls have been made since process start.
long ScreenAllocationCount();

}  // namespace gfxwin
