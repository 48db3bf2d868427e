// The drawing context: where drawing goes (the work page of the screen), its
// row pointers, view and colours, and the pixel routines for the pixel size.
#pragma once

#include <cstdint>

namespace gfxwin {

struct ScreenState;

using PutPixelFn = void (*)(uint8_t* row, int32_t x, uint32_t colour);
using GetPixelFn = uint32_t (*)(const uint8_t* row, int32_t x);
using FillSpanFn = void (*)(uint8_t* row, int32_t x, int32_t count, uint32_t colour);
// Copies `count` pixels; the two spans may overlap.
using CopyRowFn = void (*)(uint8_t* destination, const uint8_t* source, int32_t count);

struct PixelRoutines {
    int32_t bytesPerPixel;
    PutPixelFn putPixel;
    GetPixelFn getPixel;
    FillSpanFn fillSpan;
    CopyRowFn copyRow;
};

// The routines for 1, 2 or 4 bytes per pixel (anything else gets the 1-byte set).
const PixelRoutines* PixelRoutinesFor(int32_t bytesPerPixel);

// Context flag values.
constexpr uint32_t kContextNeedsScreenTarget = 1;
constexpr uint32_t kContextImageTarget = 2;
constexpr uint32_t kContextViewport = 0x10;

struct DrawContext {
    int32_t modeId;    // the screen this context was built for
    int32_t workPage;  // the page drawing goes to
    uint8_t** rows;    // one pointer per pixel row of the target
    int32_t rowCount;
    int32_t bytesPerPixel;
    int32_t pitch;
    void* target;  // null = the screen
    float lastPoint[2];
    int32_t viewX, viewY, viewWidth, viewHeight;
    int32_t savedViewX, savedViewY, savedViewWidth, savedViewHeight;
    float window[4];
    uint32_t foreground;
    uint32_t background;
    PutPixelFn putPixel;
    GetPixelFn getPixel;
    FillSpanFn fillSpan;
    CopyRowFn copyRow;
    uint32_t flags;
};

// The process's drawing context, rebuilt first when a screen is open and the
// context was built for another one. After a failed rebuild (no memory for the
// row pointers) `rows` is null.
DrawContext& GetDrawContext();

// The page drawing goes to, without rebuilding the context (a context built for
// another screen will draw to page 0 once rebuilt).
int32_t CurrentWorkPage();

// Points the context at the work page of the open screen when it does not
// already draw there (first use after a rebuild, or after drawing to an image).
void UseScreenTarget(DrawContext& context);

// Re-points the row pointers at the current work page (after a page change).
void RepointRows(DrawContext& context);

// What every drawing operation starts with: the open screen, the drawing
// context pointed at the screen's work page, and the screen lock, held for the
// scope and released without marking rows. False (and no lock taken) when no
// screen is open or the context has no row pointers (memory ran out).
class ScreenDrawing {
  public:
    ScreenDrawing();
    ~ScreenDrawing();
    ScreenDrawing(const ScreenDrawing&) = delete;
    ScreenDrawing& operator=(const ScreenDrawing&) = delete;

    explicit operator bool() const { return screen_ != nullptr; }
    ScreenState& Screen() const { return *screen_; }
    DrawContext& Context() const { return *context_; }

  private:
    ScreenState* screen_ = nullptr;
    DrawContext* context_ = nullptr;
};

// Drops the context's row pointers (the screen they point into is going away)
// without rebuilding it.
void ReleaseDrawRows();

}  // namespace gfxwin
