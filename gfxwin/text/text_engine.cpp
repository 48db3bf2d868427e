#include "gfxwin/text/text_engine.h"

#include <algorithm>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen/drawing_state.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "textio/beep.h"
#include "textio/console.h"

namespace gfxwin {

namespace {

constexpr int kBeepHz = 1000;
constexpr int kBeepMs = 250;

const uint64_t* RowTableFor(uint8_t foreground, uint8_t background) {
    GlyphRowCache& table = Drawing().glyphRows;
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

constexpr bool IsTtyControl(uint8_t byte) {
    return byte == 7 || byte == 8 || byte == 9 || byte == 10 || byte == 13;
}

// Paints `count` 8-pixel-wide cells of 8-bit pixels with one 64-bit store per
// glyph row. `rows` points at the cell's top pixel row.
void PaintCellsByTable(uint8_t* const* rows, int32_t x, const FontDesc& font, const uint8_t* codes,
                       int32_t count, const uint64_t* table) {
    const size_t glyphSize = static_cast<size_t>(font.height);
    for (int32_t gy = 0; gy < font.height; ++gy) {
        uint8_t* out = rows[gy] + x;
        const uint8_t* glyphRow = font.glyphs + gy;
        for (int32_t i = 0; i < count; ++i) {
            std::memcpy(out + 8 * i, &table[glyphRow[codes[i] * glyphSize]], 8);
        }
    }
}

#if defined(__GNUC__) && defined(__x86_64__)
#define WL_HAVE_WIDE_GLYPH_STORES 1

// Four 8x16 cells at a time: the four glyphs are spread so that each pixel row
// of the four cells becomes one 32-byte store.
__attribute__((target("avx2"))) int32_t PaintCells16Wide(uint8_t* const* rows, int32_t x,
                                                         const uint8_t* glyphs,
                                                         const uint8_t* codes, int32_t count,
                                                         uint8_t foreground, uint8_t background) {
    const __m256i bits = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ULL));
    const __m256i back = _mm256_set1_epi8(static_cast<char>(background));
    const __m256i change = _mm256_set1_epi8(static_cast<char>(foreground ^ background));
    // picks[r] spreads row byte r of each interleaved pair over 8 pixels.
    __m256i picks[8];
    for (int r = 0; r < 8; ++r) {
        alignas(32) uint8_t pick[32];
        for (int k = 0; k < 32; ++k) pick[k] = static_cast<uint8_t>(2 * r + (k / 8) % 2);
        picks[r] = _mm256_load_si256(reinterpret_cast<const __m256i*>(pick));
    }
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        auto glyph = [&](int k) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(glyphs + codes[i + k] * 16));
        };
        const __m256i even = _mm256_set_m128i(glyph(2), glyph(0));
        const __m256i odd = _mm256_set_m128i(glyph(3), glyph(1));
        // Per lane: the row bytes of two cells interleaved, rows 0-7 and 8-15.
        const __m256i halves[2] = {_mm256_unpacklo_epi8(even, odd),
                                   _mm256_unpackhi_epi8(even, odd)};
        const size_t offset = static_cast<size_t>(x) + 8 * static_cast<size_t>(i);
#pragma GCC unroll 2
        for (int h = 0; h < 2; ++h) {
#pragma GCC unroll 8
            for (int r = 0; r < 8; ++r) {
                const __m256i spread = _mm256_shuffle_epi8(halves[h], picks[r]);
                const __m256i set = _mm256_cmpeq_epi8(_mm256_and_si256(spread, bits), bits);
                const __m256i pixels = _mm256_xor_si256(back, _mm256_and_si256(set, change));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(rows[8 * h + r] + offset), pixels);
            }
        }
    }
    return i;
}

bool CpuHasWideStores() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

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

void UseWideGlyphStores(bool enabled) {
    Drawing().narrowGlyphStores = !enabled;
}

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

namespace {

// One walk of TtyWrite over a byte run: the staging buffer and the running
// column that follows the cursor through the buffered bytes.
class TtyWalk {
  public:
    TtyWalk(TtyState& tty, bool returnOnLineFeed)
        : tty_(tty),
          width_(tty.right - tty.left + 1),
          running_(tty.column),
          returnOnLineFeed_(returnOnLineFeed) {}

    // Acts on the byte at bytes[i]; returns the index of the last byte used.
    size_t Step(const uint8_t* bytes, size_t i, size_t length) {
        switch (bytes[i]) {
            case 7:
                // Sounds before the buffered text is drawn; moves nothing.
                textio::Beep(kBeepHz, kBeepMs);
                return i;
            case 8:
                Move([&] {
                    if (tty_.column <= tty_.left) return false;
                    --tty_.column;
                    return true;
                });
                return i;
            case 9:
                Tab();
                return i;
            case 10:
                Move([&] {
                    ++tty_.row;
                    if (returnOnLineFeed_) tty_.column = tty_.left;
                    return true;
                });
                return i;
            case 13:
                Move([&] {
                    tty_.column = tty_.left;
                    return true;
                });
                return i;
            default:
                return TakePrintable(bytes, i, length);
        }
    }

    // Draws what is left; scrolls when a cursor move after the last text
    // left the cursor below the region.
    void Finish() {
        if (used_ != 0) {
            DrawBuffered(tty_, staging_, used_);
            return;
        }
        if (movedAfterText_ && tty_.bottom != -1 && tty_.row > tty_.bottom) {
            tty_.scroll(tty_, tty_.row - tty_.bottom);
        }
    }

  private:
    // A cursor move: the buffer is drawn first; `move` reports whether the
    // cursor moved.
    template <typename MoveFn>
    void Move(MoveFn move) {
        Flush();
        if (move()) movedAfterText_ = true;
        running_ = tty_.column;
    }

    // Blanks up to the next multiple of 8 columns from the left column.
    void Tab() {
        const int32_t offset = ((running_ - tty_.left) % 8 + 8) % 8;
        const size_t spaces = static_cast<size_t>(8 - offset);
        if (used_ + spaces > kStagingBufferSize) Flush();
        std::memset(staging_ + used_, ' ', spaces);
        used_ += spaces;
        Advance(static_cast<int32_t>(spaces));
        movedAfterText_ = false;
    }

    // Takes the whole run of printable bytes from bytes[i] at once.
    size_t TakePrintable(const uint8_t* bytes, size_t i, size_t length) {
        size_t end = i + 1;
        while (end < length && !IsTtyControl(bytes[end])) ++end;
        while (i < end) {
            if (used_ == kStagingBufferSize) Flush();
            const size_t take = std::min(end - i, kStagingBufferSize - used_);
            std::memcpy(staging_ + used_, bytes + i, take);
            used_ += take;
            Advance(static_cast<int32_t>(take));
            i += take;
        }
        movedAfterText_ = false;
        return end - 1;
    }

    void Advance(int32_t count) {
        running_ += count;
        if (running_ > tty_.right) running_ = tty_.left + (running_ - tty_.left) % width_;
    }

    void Flush() {
        if (used_ != 0) DrawBuffered(tty_, staging_, used_);
        used_ = 0;
        running_ = tty_.column;
    }

    TtyState& tty_;
    const int32_t width_;
    int32_t running_;  // where the next buffered byte will land
    const bool returnOnLineFeed_;
    bool movedAfterText_ = false;
    uint8_t staging_[kStagingBufferSize];
    size_t used_ = 0;
};

}  // namespace

void TtyWrite(TtyState& tty, const uint8_t* bytes, size_t length, bool returnOnLineFeed) {
    if (tty.right - tty.left + 1 <= 0 || length == 0) return;
    TtyWalk walk(tty, returnOnLineFeed);
    for (size_t i = 0; i < length; ++i) i = walk.Step(bytes, i, length);
    walk.Finish();
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
        const auto foreground = static_cast<uint8_t>(context.foreground);
        const auto background = static_cast<uint8_t>(context.background);
        uint8_t* const* rows = context.rows + y;
        int32_t done = 0;
#ifdef WL_HAVE_WIDE_GLYPH_STORES
        if (cellHeight == 16 && !Drawing().narrowGlyphStores && CpuHasWideStores()) {
            done = PaintCells16Wide(rows, x, font->glyphs, bytes, count, foreground, background);
        }
#endif
        if (done < count) {
            PaintCellsByTable(rows, x + 8 * done, *font, bytes + done, count - done,
                              RowTableFor(foreground, background));
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
    const textio::TextView view = textio::CurrentTextView();
    const int32_t lastRow = screen.textRows > 0 ? screen.textRows - 1 : 24;
    int32_t b = view.bottom < 0 ? lastRow : std::min(view.bottom, lastRow);
    int32_t t = view.top < 0 ? 0 : std::min(view.top, b);
    *top = t;
    *bottom = b;
}

void PrintText(const char* bytes, size_t length, uint32_t flags) {
    if (length == 0 && (flags & textio::kPrintForce) == 0) return;
    const ScreenDrawing drawing;
    if (!drawing) return;
    ScreenState* screen = &drawing.Screen();
    DrawContext& context = drawing.Context();

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
}

}  // namespace gfxwin
