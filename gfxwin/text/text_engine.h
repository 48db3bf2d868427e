// Text output on the framebuffer: the teletype engine that buffers printable
// bytes, acts on control bytes, wraps at the right edge and scrolls the region,
// and the glyph writer that paints opaque character cells.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gfxwin {

struct DrawContext;
struct ScreenState;
struct TtyState;

// Scrolls the region up by `rows` text rows.
using TtyScrollFn = void (*)(TtyState& tty, int32_t rows);
// Draws a piece of bytes at the cursor (never past the right column); 1 = go on.
using TtyWriteRunFn = int (*)(TtyState& tty, const uint8_t* bytes, int32_t count);

// The state of one print.
struct TtyState {
    DrawContext* context;
    ScreenState* screen;
    int32_t dirtyFirst;  // pixel rows [dirtyFirst, dirtyEnd) changed; empty when equal
    int32_t dirtyEnd;
    TtyScrollFn scroll;
    TtyWriteRunFn writeRun;
    int32_t left, top, right, bottom;  // region, 0-based; bottom -1 = never scroll
    int32_t column, row;               // cursor, 0-based
};

constexpr size_t kStagingBufferSize = 1024;

// Walks the bytes once: bell, backspace, tab, line feed and carriage return act
// on the cursor; everything else is drawn. With `returnOnLineFeed` a line feed
// also goes back to the left column.
void TtyWrite(TtyState& tty, const uint8_t* bytes, size_t length, bool returnOnLineFeed);

// The screen's scroll and write-run operations.
void ScrollTextRegion(TtyState& tty, int32_t rows);
int WriteGlyphRun(TtyState& tty, const uint8_t* bytes, int32_t count);

// Adds pixel rows [first, end) to the print's dirty range.
void ExtendDirty(TtyState& tty, int32_t first, int32_t end);

// Cells of the 8x16 font are painted four at a time with wide stores where the
// processor has them; false keeps to the portable 64-bit stores (tests compare
// the two).
void UseWideGlyphStores(bool enabled);

// Prints bytes at the text cursor of the open screen. An empty print does
// nothing unless `flags` has textio::kPrintForce, which applies a pending line
// feed.
void PrintText(const char* bytes, size_t length, uint32_t flags);

// The text view of the runtime, 0-based and resolved against the grid.
void ResolveTextView(const ScreenState& screen, int32_t* top, int32_t* bottom);

// Fills text shadow rows [firstRow, endRow), columns [left, right], of the work
// page with blanks in the context's colours.
void BlankShadowRows(ScreenState& screen, const DrawContext& context, int32_t firstRow,
                     int32_t endRow, int32_t left, int32_t right);

// Fills pixel rows [first, end), pixels [x, x + count), of the work page with the
// context's background.
void FillPixelRows(ScreenState& screen, const DrawContext& context, int32_t first, int32_t end,
                   int32_t x, int32_t count);

}  // namespace gfxwin
