#include "gfxwin/screen/draw_context.h"

#include <cstring>

#include "gfxwin/screen/drawing_state.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"

namespace gfxwin {

namespace {

void Put8(uint8_t* row, int32_t x, uint32_t colour) {
    row[x] = static_cast<uint8_t>(colour);
}
uint32_t Get8(const uint8_t* row, int32_t x) {
    return row[x];
}
void Fill8(uint8_t* row, int32_t x, int32_t count, uint32_t colour) {
    if (count > 0)
        std::memset(row + x, static_cast<int>(colour & 0xFF), static_cast<size_t>(count));
}
void Copy8(uint8_t* destination, const uint8_t* source, int32_t count) {
    if (count > 0) std::memmove(destination, source, static_cast<size_t>(count));
}

// Pixels of 2 and 4 bytes, stored unaligned in the machine's byte order.
template <typename Pixel>
void PutWide(uint8_t* row, int32_t x, uint32_t colour) {
    const auto value = static_cast<Pixel>(colour);
    std::memcpy(row + sizeof(Pixel) * x, &value, sizeof(Pixel));
}
template <typename Pixel>
uint32_t GetWide(const uint8_t* row, int32_t x) {
    Pixel value;
    std::memcpy(&value, row + sizeof(Pixel) * x, sizeof(Pixel));
    return value;
}
template <typename Pixel>
void FillWide(uint8_t* row, int32_t x, int32_t count, uint32_t colour) {
    for (int32_t i = 0; i < count; ++i) PutWide<Pixel>(row, x + i, colour);
}
template <typename Pixel>
void CopyWide(uint8_t* destination, const uint8_t* source, int32_t count) {
    if (count > 0) std::memmove(destination, source, static_cast<size_t>(count) * sizeof(Pixel));
}
template <typename Pixel>
constexpr PixelRoutines kWidePixels{sizeof(Pixel), PutWide<Pixel>, GetWide<Pixel>, FillWide<Pixel>,
                                    CopyWide<Pixel>};

constexpr PixelRoutines kPixels8{1, Put8, Get8, Fill8, Copy8};
constexpr const PixelRoutines& kPixels16 = kWidePixels<uint16_t>;
constexpr const PixelRoutines& kPixels32 = kWidePixels<uint32_t>;

DrawContext& Context() {
    return Drawing().context;
}

void DropRows(DrawContext& context) {
    ScreenFree(context.rows);
    context.rows = nullptr;
    context.rowCount = 0;
}

void Rebuild(DrawContext& context, const ScreenState& screen) {
    DropRows(context);
    context = DrawContext{};
    context.modeId = screen.modeId;
    context.savedViewX = 0;
    context.savedViewY = 0;
    context.savedViewWidth = screen.width;
    context.savedViewHeight = screen.height;
    context.rowCount = screen.height;
    context.rows = static_cast<uint8_t**>(
        ScreenAlloc(sizeof(uint8_t*) * static_cast<size_t>(screen.height), true));
    if (context.rows == nullptr) {
        context.modeId = 0;  // try again on the next fetch
        context.rowCount = 0;
        return;
    }
    context.foreground = (screen.depth >= 5 && screen.depth <= 8) ? 15u : screen.colourMask;
    context.background = screen.colourMask & 0xFF000000u;
    context.flags |= kContextNeedsScreenTarget;
    UseScreenTarget(context);
}

}  // namespace

const PixelRoutines* PixelRoutinesFor(int32_t bytesPerPixel) {
    switch (bytesPerPixel) {
        case 2:
            return &kPixels16;
        case 4:
            return &kPixels32;
        default:
            return &kPixels8;
    }
}

DrawContext& GetDrawContext() {
    DrawContext& context = Context();
    const ScreenState* screen = CurrentScreen();
    if (screen != nullptr && context.modeId != screen->modeId) Rebuild(context, *screen);
    return context;
}

int32_t CurrentWorkPage() {
    const DrawContext& context = Context();
    const ScreenState* screen = CurrentScreen();
    if (screen == nullptr || context.modeId != screen->modeId) return 0;
    return context.workPage;
}

void UseScreenTarget(DrawContext& context) {
    const uint32_t pending = kContextNeedsScreenTarget | kContextImageTarget;
    if (context.target == nullptr && (context.flags & pending) == 0) return;
    const ScreenState* screen = CurrentScreen();
    if (screen == nullptr || context.rows == nullptr) return;
    context.target = nullptr;
    context.viewX = context.savedViewX;
    context.viewY = context.savedViewY;
    context.viewWidth = context.savedViewWidth;
    context.viewHeight = context.savedViewHeight;
    context.bytesPerPixel = screen->bytesPerPixel;
    context.pitch = screen->pitch;
    RepointRows(context);
    const PixelRoutines* pixels = PixelRoutinesFor(screen->bytesPerPixel);
    context.putPixel = pixels->putPixel;
    context.getPixel = pixels->getPixel;
    context.fillSpan = pixels->fillSpan;
    context.copyRow = pixels->copyRow;
    context.flags &= ~pending;
}

void RepointRows(DrawContext& context) {
    const ScreenState* screen = CurrentScreen();
    if (screen == nullptr || screen->pages == nullptr || context.rows == nullptr ||
        context.target != nullptr) {
        return;
    }
    if (context.workPage < 0 || context.workPage >= screen->pageCount) return;
    uint8_t* page = screen->pages[context.workPage];
    const int32_t count = context.rowCount < screen->height ? context.rowCount : screen->height;
    for (int32_t y = 0; y < count; ++y) {
        context.rows[y] = page + static_cast<size_t>(y) * static_cast<size_t>(screen->pitch);
    }
}

ScreenDrawing::ScreenDrawing() {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return;
    DrawContext& context = GetDrawContext();
    UseScreenTarget(context);
    if (context.rows == nullptr) return;
    LockScreen();
    screen_ = screen;
    context_ = &context;
}

ScreenDrawing::~ScreenDrawing() {
    if (screen_ != nullptr) UnlockScreen(1, 0);
}

void ReleaseDrawRows() {
    DropRows(Context());
}

}  // namespace gfxwin
