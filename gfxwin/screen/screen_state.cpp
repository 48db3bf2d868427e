#include "gfxwin/screen/screen_state.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gfxwin/screen/drawing_state.h"

namespace gfxwin {

namespace {

constexpr std::align_val_t kAlign{16};

}  // namespace

ScreenState* NewScreenState() {
    return NewScreenObject<ScreenState>().Release();
}

void DeleteScreenState(ScreenState* screen) {
    ScreenBlock<ScreenState> gone(screen);
}

ScreenState* CurrentScreen() {
    return Drawing().screen;
}
void SetCurrentScreen(ScreenState* screen) {
    Drawing().screen = screen;
}

int32_t NextModeId() {
    return ++Drawing().lastModeId;
}

uint32_t* LookupArea() {
    return Drawing().lookup;
}
void SetLookupArea(uint32_t* area) {
    Drawing().lookup = area;
}

void MarkRowsDirty(ScreenState& screen, int32_t first, int32_t end) {
    if (screen.dirtyRows == nullptr) return;
    const int32_t marks = screen.height * screen.scanlineSize;
    first = std::max(first, 0);
    end = std::min(end, marks);
    if (first < end) std::memset(screen.dirtyRows + first, 1, static_cast<size_t>(end - first));
}

void MarkAllRowsDirty(ScreenState& screen) {
    MarkRowsDirty(screen, 0, screen.height * screen.scanlineSize);
}

void* ScreenAlloc(size_t bytes, bool zeroed) {
    ScreenMemoryCounters& g = Drawing().memory;
    ++g.allocations;
    if (g.failAt != 0 && g.allocations == g.failAt) {
        g.failAt = 0;
        return nullptr;
    }
    void* block = ::operator new(bytes == 0 ? 1 : bytes, kAlign, std::nothrow);
    if (block != nullptr && zeroed) std::memset(block, 0, bytes);
    return block;
}

void ScreenFree(void* block) {
    if (block != nullptr) ::operator delete(block, kAlign);
}

void FailScreenAllocation(int nth) {
    ScreenMemoryCounters& g = Drawing().memory;
    g.failAt = nth > 0 ? g.allocations + nth : 0;
}

long ScreenAllocationCount() {
    return Drawing().memory.allocations;
}

}  // namespace gfxwin
