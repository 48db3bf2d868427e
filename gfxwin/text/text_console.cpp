#include "gfxwin/text/text_console.h"

#include <algorithm>
#include <utility>

#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/text/text_engine.h"
#include "textio/console.h"
#include "textio/screen_channel.h"

namespace gfxwin {

namespace {

enum class ClearKind { kWhole, kViewport, kTextView };

void CentreLastPoint(DrawContext& context) {
    context.lastPoint[0] =
        static_cast<float>(context.viewX) + static_cast<float>(context.viewWidth) / 2;
    context.lastPoint[1] =
        static_cast<float>(context.viewY) + static_cast<float>(context.viewHeight) / 2;
}

}  // namespace

void ClearGraphicsScreen(uint32_t mode) {
    const ScreenDrawing drawing;
    if (!drawing) return;
    ScreenState* screen = &drawing.Screen();
    DrawContext& context = drawing.Context();

    int32_t top = 0;
    int32_t bottom = 0;
    ResolveTextView(*screen, &top, &bottom);
    ClearKind kind = ClearKind::kViewport;
    if (mode == 0) {
        kind = ClearKind::kWhole;
    } else if (mode == 2) {
        kind = ClearKind::kTextView;
    } else if (mode == textio::kClearDefault) {
        if (context.flags & kContextViewport) {
            kind = ClearKind::kViewport;
        } else if (top == 0 && bottom == screen->textRows - 1) {
            kind = ClearKind::kWhole;
        } else {
            kind = ClearKind::kTextView;
        }
    }

    const bool visible = context.workPage == screen->visiblePage;
    const int32_t cellHeight = screen->font != nullptr ? screen->font->height : 16;
    switch (kind) {
        case ClearKind::kWhole:
            FillPixelRows(*screen, context, 0, screen->height, 0, screen->width);
            if (visible) MarkAllRowsDirty(*screen);
            CentreLastPoint(context);
            BlankShadowRows(*screen, context, 0, screen->textRows, 0, screen->textColumns - 1);
            Locate(top + 1, 1, 0);
            break;
        case ClearKind::kTextView:
            FillPixelRows(*screen, context, top * cellHeight, (bottom + 1) * cellHeight, 0,
                          screen->width);
            if (visible) MarkRowsDirty(*screen, top * cellHeight, (bottom + 1) * cellHeight);
            BlankShadowRows(*screen, context, top, bottom + 1, 0, screen->textColumns - 1);
            Locate(top + 1, 1, 0);
            break;
        case ClearKind::kViewport: {
            const int32_t x0 = std::max(context.viewX, 0);
            const int32_t y0 = std::max(context.viewY, 0);
            const int32_t x1 = std::min(context.viewX + context.viewWidth, screen->width);
            const int32_t y1 = std::min(context.viewY + context.viewHeight, screen->height);
            if (x0 < x1 && y0 < y1) {
                FillPixelRows(*screen, context, y0, y1, x0, x1 - x0);
                if (visible) MarkRowsDirty(*screen, y0, y1);
            }
            CentreLastPoint(context);
            break;
        }
    }
}

int32_t Locate(int32_t row, int32_t column, int32_t /*visibility*/) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return 0;
    screen->statusFlags &= ~kStatusPendingLineFeed;
    // Positions past the grid are held at its last row and column.
    if (row >= 1) screen->cursorRow = std::min(row - 1, std::max(screen->textRows - 1, 0));
    if (column >= 1) {
        screen->cursorColumn = std::min(column - 1, std::max(screen->textColumns - 1, 0));
    }
    textio::ScreenSetColumn(static_cast<uint32_t>(screen->cursorColumn));
    return 257 + (screen->cursorColumn % 256) + 256 * (screen->cursorRow % 256);
}

int32_t CursorColumn() {
    const ScreenState* screen = CurrentScreen();
    return screen != nullptr ? screen->cursorColumn + 1 : 0;
}

int32_t CursorRow() {
    const ScreenState* screen = CurrentScreen();
    return screen != nullptr ? screen->cursorRow + 1 : 0;
}

void CursorPosition(int32_t* column, int32_t* row) {
    if (column != nullptr) *column = CursorColumn();
    if (row != nullptr) *row = CursorRow();
}

void TextSize(int32_t* columns, int32_t* rows) {
    const ScreenState* screen = CurrentScreen();
    if (columns != nullptr) *columns = screen != nullptr ? screen->textColumns : 0;
    if (rows != nullptr) *rows = screen != nullptr ? screen->textRows : 0;
}

int32_t SetColours(int32_t foreground, int32_t background, int32_t flags) {
    const ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return 0;
    DrawContext& context = GetDrawContext();
    int32_t previous;
    uint32_t mask;
    if (screen->depth <= 8) {
        previous = static_cast<int32_t>(context.foreground + 65536u * context.background);
        mask = 0xFF;
    } else {
        // Colours of 16 and 32 bits do not pack in pairs: report the foreground.
        previous = static_cast<int32_t>(context.foreground);
        mask = screen->colourMask;
    }
    if ((flags & 1) == 0) context.foreground = static_cast<uint32_t>(foreground) & mask;
    if ((flags & 2) == 0) context.background = static_cast<uint32_t>(background) & mask;
    return previous;
}

int32_t SetTextSize(int32_t columns, int32_t rows) {
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return 0;
    const int32_t previous = screen->textColumns + 65536 * screen->textRows;
    if (columns <= 0) columns = screen->textColumns;
    if (rows <= 0) rows = screen->textRows;
    if (columns <= 0 || rows <= 0) return previous;
    const int32_t cellWidth = screen->width / columns;
    const int32_t cellHeight = screen->height / rows;
    const int fontIndex = cellHeight == 8 ? 0 : cellHeight == 14 ? 1 : cellHeight == 16 ? 2 : -1;
    if (cellWidth != 8 || fontIndex < 0) return previous;
    const FontDesc* font = BuiltinFont(fontIndex);
    if (font == nullptr) return previous;

    // New shadows first, so that a shortage of memory changes nothing.
    const size_t cells = static_cast<size_t>(columns) * static_cast<size_t>(rows);
    PageBlocks<TextCell> fresh;
    if (!fresh.Allocate(screen->pageCount, cells, true)) return previous;
    screen->textShadow = std::move(fresh);
    screen->textColumns = columns;
    screen->textRows = rows;
    screen->font = font;

    DrawContext& context = GetDrawContext();
    BlankShadowRows(*screen, context, 0, rows, 0, columns - 1);
    context.viewX = context.savedViewX;
    context.viewY = context.savedViewY;
    context.viewWidth = context.savedViewWidth;
    context.viewHeight = context.savedViewHeight;
    context.flags &= ~kContextViewport;
    textio::SetTextView(textio::TextView{0, rows - 1});
    textio::ScreenRefreshGeometry();
    ClearGraphicsScreen(0);  // also puts the cursor on row 1, column 1
    return previous;
}

int32_t ReadCell(int32_t column, int32_t row, int32_t selector) {
    const ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return 0;
    if (column < 1 || row < 1 || column > screen->textColumns || row > screen->textRows) return 0;
    const DrawContext& context = GetDrawContext();
    if (screen->textShadow == nullptr || context.workPage < 0 ||
        context.workPage >= screen->pageCount) {
        return 0;
    }
    const TextCell& cell =
        screen->textShadow[context.workPage]
                          [static_cast<size_t>(row - 1) * static_cast<size_t>(screen->textColumns) +
                           static_cast<size_t>(column - 1)];
    if (selector == 0) return cell.code;
    if (screen->depth >= 5 && screen->depth <= 8) {
        return static_cast<int32_t>(cell.foreground + 256u * cell.background);
    }
    if (screen->depth < 5) return static_cast<int32_t>(cell.foreground + 16u * cell.background);
    return static_cast<int32_t>(cell.foreground);  // deeper colours do not pack in pairs
}

void PrintWideText(const uint16_t* units, size_t length, uint32_t flags) {
    constexpr size_t kChunk = 512;
    char bytes[kChunk];
    size_t used = 0;
    bool printed = false;
    for (size_t i = 0; i < length; ++i) {
        bytes[used++] = NarrowUnit(units, length, i);
        if (used == kChunk) {
            PrintText(bytes, used, flags);
            printed = true;
            used = 0;
        }
    }
    if (used != 0 || !printed) PrintText(bytes, used, flags);
}

}  // namespace gfxwin
