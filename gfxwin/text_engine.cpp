#include "gfxwin/text_engine.h"

#include <algorithm>
#include <cstring>

#include "gfxwin/beep.h"
#include "gfxwin/draw_context.h"
#include "gfxwin/screen_lock.h"
#include "gfxwin/screen_state.h"
#include "textio/runtime_state.h"

namespace gfxwin {

namespace {

constexpr int kBeepHz = 1000;
constexpr int kBeepMs = 250;

// Glyph row byte -> eight 8-bit pixels (bit 0 leftmost) as one 64-bit store,
// for the colour pair it was last built for.
struct GlyphRowTable {
    bool valid = false;
    uint8_t foreground = 0;
    uint8_t background = 0;
    uint64_t pixels[256];
};

const uint64_t* RowTableFor(uint8_t foreground, uint8_t background) {
    static GlyphRowTable table;
    if (!table.valid || table.foreground != foreground || table.background != background) {
        for (int bits = 0; bits < 256; ++bits) {
            uint8_t row[8];
            for (int k = 0; k < 8; ++k) row[k] = (bits >> k) & 1 ? foreground : background;
            std::memcpy(&table.pixels[bits], row, 8);
        }
        table.foreground = foreground;
        table.background = background;
        table.valid = true;
    }
    return table.pixels;
}

TextCell* WorkShadow(const ScreenState& screen, const DrawContext& context) {
    if (screen.textShadow == nullptr || context.workPage < 0 ||
        context.workPage >= screen.pageCount) {
        return nullptr;
    }
    return screen.textShadow[context.workPage];
}

// Draws buffered bytes at the cursor, a row piece at a time.
void DrawBuffered(TtyState& tty, const uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        if (tty.column > tty.right || tty.column < tty.left) {
            tty.column = tty.left;
            ++tty.row;
        }
        const size_t room = static_cast<size_t>(tty.right - tty.column + 1);
        const size_t piece = std::min(count - done, room);
        if (tty.bottom != -1 && tty.row > tty.bottom) tty.scroll(tty, tty.row - tty.bottom);
        if (tty.writeRun(tty, bytes + done, static_cast<int32_t>(piece)) != 1) return;
        done += piece;
        tty.column += static_cast<int32_t>(piece);
        if (tty.column > tty.right) {
            tty.column = tty.left;
            ++tty.row;
        }
    }
}

}  // namespace

void ExtendDirty(TtyState& tty, int32_t first, int32_t end) {
    if (first >= end) return;
    if (tty.dirtyFirst == tty.dirtyEnd) {
        tty.dirtyFirst = first;
        tty.dirtyEnd = end;
        return;
    }
    tty.dirtyFirst = std::min(tty.dirtyFirst, first);
    tty.dirtyEnd = std::max(tty.dirtyEnd, end);
}

void TtyWrite(TtyState& tty, const uint8_t* bytes, size_t length, bool returnOnLineFeed) {
    const int32_t width = tty.right - tty.left + 1;
    if (width <= 0 || length == 0) return;

    uint8_t staging[kStagingBufferSize];
    size_t used = 0;
    int32_t running = tty.column;  // where the next buffered byte will land
    bool movedAfterText = false;

    auto advanceRunning = [&](int32_t count) {
        running = tty.left + ((running - tty.left + count) % width + width) % width;
    };
    auto flush = [&] {
        if (used != 0) DrawBuffered(tty, staging, used);
        used = 0;
        running = tty.column;
    };

    for (size_t i = 0; i < length; ++i) {
        const uint8_t byte = bytes[i];
        switch (byte) {
            case 7:
                Beep(kBeepHz, kBeepMs);
                break;
            case 8:
                flush();
                if (tty.column > tty.left) {
                    --tty.column;
                    movedAfterText = true;
                }
                running = tty.column;
                break;
            case 9: {
                const int32_t offset = ((running - tty.left) % 8 + 8) % 8;
                const size_t spaces = static_cast<size_t>(8 - offset);
                if (used + spaces > kStagingBufferSize) flush();
                std::memset(staging + used, ' ', spaces);
                used += spaces;
                advanceRunning(static_cast<int32_t>(spaces));
                movedAfterText = false;
                break;
            }
            case 10:
                flush();
                ++tty.row;
                if (returnOnLineFeed) tty.column = tty.left;
                movedAfterText = true;
                running = tty.column;
                break;
            case 13:
                flush();
                tty.column = tty.left;
                movedAfterText = true;
                running = tty.column;
                break;
            default:
                if (used == kStagingBufferSize) flush();
                staging[used++] = byte;
                advanceRunning(1);
                movedAfterText = false;
                break;
        }
    }

    if (used != 0) {
        DrawBuffered(tty, staging, used);
        return;
    }
    if (movedAfterText && tty.bottom != -1 && tty.row > tty.bottom) {
        tty.scroll(tty, tty.row - tty.bottom);
    }
}

void FillPixelRows(ScreenState& screen, const DrawContext& context, int32_t first, int32_t end,
                   int32_t x, int32_t count) {
    first = std::max(first, 0);
    end = std::min(end, context.rowCount);
    if (first >= end || count <= 0 || context.rows == nullptr) return;
    const bool wholeRows =
        x == 0 && count == screen.width && screen.pitch == screen.width * screen.bytesPerPixel;
    if (wholeRows && screen.bytesPerPixel == 1) {
        std::memset(context.rows[first], static_cast<int>(context.background & 0xFF),
                    static_cast<size_t>(end - first) * static_cast<size_t>(screen.pitch));
        return;
    }
    if (wholeRows) {
        context.fillSpan(context.rows[first], 0, (end - first) * screen.width, context.background);
        return;
    }
    for (int32_t y = first; y < end; ++y)
        context.fillSpan(context.rows[y], x, count, context.background);
}

void BlankShadowRows(ScreenState& screen, const DrawContext& context, int32_t firstRow,
                     int32_t endRow, int32_t left, int32_t right) {
    TextCell* shadow = WorkShadow(screen, context);
    if (shadow == nullptr) return;
    firstRow = std::max(firstRow, 0);
    endRow = std::min(endRow, screen.textRows);
    left = std::max(left, 0);
    right = std::min(right, screen.textColumns - 1);
    const TextCell blank{32, context.foreground, context.background};
    for (int32_t r = firstRow; r < endRow; ++r) {
        TextCell* row = shadow + static_cast<size_t>(r) * static_cast<size_t>(screen.textColumns);
        std::fill(row + left, row + right + 1, blank);
    }
}

void ScrollTextRegion(TtyState& tty, int32_t rows) {
    ScreenState& screen = *tty.screen;
    const DrawContext& context = *tty.context;
    if (rows <= 0 || screen.font == nullptr || tty.bottom < tty.top) return;
    const int32_t cellWidth = screen.font->width;
    const int32_t cellHeight = screen.font->height;
    const int32_t shift = rows * cellHeight;
    const int32_t y0 = tty.top * cellHeight;
    const int32_t y1 = std::min((tty.bottom + 1) * cellHeight, context.rowCount);
    const int32_t x0 = tty.left * cellWidth;
    const int32_t span = std::min((tty.right - tty.left + 1) * cellWidth, screen.width - x0);

    if (shift < y1 - y0) {
        const bool wholeRows =
            x0 == 0 && span == screen.width && screen.pitch == screen.width * screen.bytesPerPixel;
        if (wholeRows) {
            std::memmove(context.rows[y0], context.rows[y0 + shift],
                         static_cast<size_t>(y1 - y0 - shift) * static_cast<size_t>(screen.pitch));
        } else {
            const size_t offset =
                static_cast<size_t>(x0) * static_cast<size_t>(screen.bytesPerPixel);
            for (int32_t y = y0; y < y1 - shift; ++y) {
                context.copyRow(context.rows[y] + offset, context.rows[y + shift] + offset, span);
            }
        }
        FillPixelRows(screen, context, y1 - shift, y1, x0, span);
    } else {
        FillPixelRows(screen, context, y0, y1, x0, span);
    }
    ExtendDirty(tty, y0, y1);

    if (TextCell* shadow = WorkShadow(screen, context)) {
        const int32_t regionRows = tty.bottom - tty.top + 1;
        const size_t columns = static_cast<size_t>(screen.textColumns);
        const int32_t right = std::min(tty.right, screen.textColumns - 1);
        if (rows < regionRows) {
            const size_t cells = static_cast<size_t>(right - tty.left + 1);
            for (int32_t r = tty.top; r + rows <= tty.bottom; ++r) {
                std::memmove(shadow + static_cast<size_t>(r) * columns + tty.left,
                             shadow + static_cast<size_t>(r + rows) * columns + tty.left,
                             cells * sizeof(TextCell));
            }
            BlankShadowRows(screen, context, tty.bottom - rows + 1, tty.bottom + 1, tty.left,
                            right);
        } else {
            BlankShadowRows(screen, context, tty.top, tty.bottom + 1, tty.left, right);
        }
    }
    tty.row = tty.bottom;
}

int WriteGlyphRun(TtyState& tty, const uint8_t* bytes, int32_t count) {
    ScreenState& screen = *tty.screen;
    const DrawContext& context = *tty.context;
    const FontDesc* font = screen.font;
    if (font == nullptr || count <= 0) return 1;
    const int32_t cellWidth = font->width;
    const int32_t cellHeight = font->height;
    const int32_t x = tty.column * cellWidth;
    const int32_t y = tty.row * cellHeight;
    if (tty.row < 0 || tty.column < 0 || y + cellHeight > context.rowCount ||
        context.rows == nullptr) {
        return 1;  // outside the target: nothing to paint
    }
    count = std::min(count, (screen.width - x) / cellWidth);
    if (count <= 0) return 1;

    const size_t bytesPerRow = static_cast<size_t>((cellWidth + 7) / 8);
    const size_t glyphSize = bytesPerRow * static_cast<size_t>(cellHeight);
    if (count == 1 && bytes[0] == 255) {
        context.fillSpan(context.rows[y + cellHeight - 1], x, cellWidth, context.foreground);
    } else if (screen.bytesPerPixel == 1 && cellWidth == 8) {
        const uint64_t* table = RowTableFor(static_cast<uint8_t>(context.foreground),
                                            static_cast<uint8_t>(context.background));
        for (int32_t gy = 0; gy < cellHeight; ++gy) {
            uint8_t* out = context.rows[y + gy] + x;
            const uint8_t* glyphRow = font->glyphs + gy;
            for (int32_t i = 0; i < count; ++i) {
                std::memcpy(out + 8 * i, &table[glyphRow[bytes[i] * glyphSize]], 8);
            }
        }
    } else {
        for (int32_t i = 0; i < count; ++i) {
            const uint8_t* glyph = font->glyphs + bytes[i] * glyphSize;
            const int32_t cellX = x + i * cellWidth;
            for (int32_t gy = 0; gy < cellHeight; ++gy) {
                uint8_t* out = context.rows[y + gy];
                for (int32_t gx = 0; gx < cellWidth; ++gx) {
                    const bool set = (glyph[gy * bytesPerRow + gx / 8] >> (gx % 8)) & 1;
                    context.putPixel(out, cellX + gx,
                                     set ? context.foreground : context.background);
                }
            }
        }
    }
    ExtendDirty(tty, y, y + cellHeight);

    if (TextCell* shadow = WorkShadow(screen, context);
        shadow != nullptr && tty.row < screen.textRows) {
        TextCell* cell = shadow +
                         static_cast<size_t>(tty.row) * static_cast<size_t>(screen.textColumns) +
                         tty.column;
        const int32_t cells = std::min(count, screen.textColumns - tty.column);
        for (int32_t i = 0; i < cells; ++i) {
            cell[i] = TextCell{bytes[i], context.foreground, context.background};
        }
    }
    return 1;
}

void ResolveTextView(const ScreenState& screen, int32_t* top, int32_t* bottom) {
    const textio::TextView view = textio::Runtime().view;
    const int32_t lastRow = screen.textRows > 0 ? screen.textRows - 1 : 24;
    int32_t b = view.bottom < 0 ? lastRow : std::min(view.bottom, lastRow);
    int32_t t = view.top < 0 ? 0 : std::min(view.top, b);
    *top = t;
    *bottom = b;
}

void PrintText(const char* bytes, size_t length, uint32_t flags) {
    if (length == 0 && (flags & kPrintForce) == 0) return;
    ScreenState* screen = CurrentScreen();
    if (screen == nullptr) return;
    DrawContext& context = GetDrawContext();
    UseScreenTarget(context);
    if (context.rows == nullptr) return;
    LockScreen();

    TtyState tty{};
    tty.context = &context;
    tty.screen = screen;
    tty.scroll = ScrollTextRegion;
    tty.writeRun = WriteGlyphRun;
    tty.left = 0;
    tty.right = screen->textColumns - 1;
    ResolveTextView(*screen, &tty.top, &tty.bottom);
    tty.column = screen->cursorColumn;
    tty.row = screen->cursorRow;

    if (screen->statusFlags & kStatusPendingLineFeed) {
        screen->statusFlags &= ~kStatusPendingLineFeed;
        tty.column = 0;
        ++tty.row;
        if (tty.bottom != -1 && tty.row > tty.bottom) tty.scroll(tty, tty.row - tty.bottom);
    }

    TtyWrite(tty, reinterpret_cast<const uint8_t*>(bytes), length, true);

    if (tty.column == tty.left && tty.row == tty.bottom + 1) {
        tty.row = tty.bottom;
        tty.column = tty.right;
        screen->statusFlags |= kStatusPendingLineFeed;
    } else if (tty.bottom != -1 && tty.row > tty.bottom) {
        tty.scroll(tty, tty.row - tty.bottom);
    }

    if (tty.column >= 0) screen->cursorColumn = tty.column;
    if (tty.row >= 0) screen->cursorRow = tty.row;

    if (context.workPage == screen->visiblePage)
        MarkRowsDirty(*screen, tty.dirtyFirst, tty.dirtyEnd);
    UnlockScreen(1, 0);
}

}  // namespace gfxwin
