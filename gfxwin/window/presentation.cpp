#include "gfxwin/window/presentation.h"

#include <algorithm>
#include <cstring>

#include "gfxwin/keys/key_translation.h"
#include "gfxwin/window/refusal.h"
#include "gfxwin/window/window_proc.h"

namespace gfxwin {

namespace {

// Destination layouts: 5-5-5, 5-6-5, three bytes, four bytes (top byte 0).
enum class Dst { k15, k16, k24, k32 };

// Packs 8-bit components into the destination pixel, keeping the top bits of
// each component. Red-low layouts hold red in the lowest bits.
template <Dst D, bool RedLow>
constexpr uint32_t Encode(uint32_t r, uint32_t g, uint32_t b) {
    if constexpr (D == Dst::k15) {
        r >>= 3;
        g >>= 3;
        b >>= 3;
        return RedLow ? (b << 10) | (g << 5) | r : (r << 10) | (g << 5) | b;
    } else if constexpr (D == Dst::k16) {
        r >>= 3;
        g >>= 2;
        b >>= 3;
        return RedLow ? (b << 11) | (g << 5) | r : (r << 11) | (g << 5) | b;
    } else {
        return RedLow ? r | (g << 8) | (b << 16) : b | (g << 8) | (r << 16);
    }
}

template <Dst D>
inline void Store(uint8_t* row, int32_t x, uint32_t pixel) {
    if constexpr (D == Dst::k15 || D == Dst::k16) {
        const auto v = static_cast<uint16_t>(pixel);
        std::memcpy(row + 2 * x, &v, 2);
    } else if constexpr (D == Dst::k24) {
        uint8_t* p = row + 3 * x;
        p[0] = static_cast<uint8_t>(pixel);
        p[1] = static_cast<uint8_t>(pixel >> 8);
        p[2] = static_cast<uint8_t>(pixel >> 16);
    } else {
        std::memcpy(row + 4 * x, &pixel, 4);
    }
}

// Runs `convertRow(source row, destination row)` for every output row whose
// framebuffer row is dirty; the destination advances by its pitch for every
// output row, dirty or not.
template <typename RowFn>
void ForEachDirtyRow(const ScreenState& s, uint8_t* destination, int32_t pitch, RowFn convertRow) {
    const int32_t repeat = std::max(s.scanlineSize, 1);
    const int32_t outputRows = s.height * repeat;
    for (int32_t r = 0; r < outputRows; ++r) {
        const int32_t source = r / repeat;
        if (s.dirtyRows[source] == 0) continue;
        convertRow(s.framebuffer + static_cast<size_t>(source) * static_cast<size_t>(s.pitch),
                   destination + static_cast<size_t>(r) * static_cast<size_t>(pitch));
    }
}

// Indexed framebuffer (one byte per pixel) through the device palette.
template <Dst D, bool RedLow>
void ConvertIndexed(const ScreenState& s, uint8_t* destination, int32_t pitch) {
    uint32_t table[kPaletteSize];
    for (int i = 0; i < kPaletteSize; ++i) {
        const uint32_t c = s.devicePalette[i];  // 0x00BBGGRR
        table[i] = Encode<D, RedLow>(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
    const int32_t width = s.width;
    ForEachDirtyRow(s, destination, pitch, [&](const uint8_t* src, uint8_t* dst) {
        for (int32_t x = 0; x < width; ++x) Store<D>(dst, x, table[src[x]]);
    });
}

// 5-6-5 framebuffer (red high).
template <Dst D, bool RedLow>
void Convert565(const ScreenState& s, uint8_t* destination, int32_t pitch) {
    const uint32_t* lookup = LookupArea();
    const int32_t width = s.width;
    ForEachDirtyRow(s, destination, pitch, [&](const uint8_t* src, uint8_t* dst) {
        for (int32_t x = 0; x < width; ++x) {
            uint16_t p;
            std::memcpy(&p, src + 2 * x, 2);
            uint32_t out;
            if constexpr (D == Dst::k15) {
                const uint32_t r = p >> 11, g = (p >> 6) & 31, b = p & 31;
                out = RedLow ? (b << 10) | (g << 5) | r : (r << 10) | (g << 5) | b;
            } else if constexpr (D == Dst::k16) {
                out = RedLow ? ((p & 31u) << 11) | (p & 0x7E0u) | (p >> 11) : p;
            } else {
                out = lookup[p & 0xFF] + lookup[256 + (p >> 8)];
            }
            Store<D>(dst, x, out);
        }
    });
}

// 8-8-8 framebuffer in four bytes (red high).
template <Dst D, bool RedLow>
void Convert888(const ScreenState& s, uint8_t* destination, int32_t pitch) {
    const int32_t width = s.width;
    ForEachDirtyRow(s, destination, pitch, [&](const uint8_t* src, uint8_t* dst) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t p;
            std::memcpy(&p, src + 4 * x, 4);
            Store<D>(dst, x, Encode<D, RedLow>((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
    });
}

// Fills the lookup area for 5-6-5 sources expanded to 8-bit components: the
// first half by the low source byte, the second by the high byte; the two
// halves add up to the destination pixel. Components widen by repeating their
// top bits.
void FillExpansionLookup(bool redLow) {
    uint32_t* lookup = LookupArea();
    if (lookup == nullptr) return;
    const int redShift = redLow ? 0 : 16;
    const int blueShift = redLow ? 16 : 0;
    for (uint32_t v = 0; v < 256; ++v) {
        // Low byte: blue (5 bits) and the low three bits of green.
        const uint32_t b5 = v & 31, greenLow = v >> 5;
        lookup[v] = (((b5 << 3) | (b5 >> 2)) << blueShift) | ((greenLow << 2) << 8);
        // High byte: red (5 bits) and the high three bits of green.
        const uint32_t r5 = v >> 3, greenHigh = v & 7;
        lookup[256 + v] =
            (((r5 << 3) | (r5 >> 2)) << redShift) | (((greenHigh << 5) | (greenHigh >> 1)) << 8);
    }
}

// Indexed framebuffer into an indexed picture: the rows as they are.
void CopyIndexedRows(const ScreenState& s, uint8_t* destination, int32_t pitch) {
    const auto bytes = static_cast<size_t>(s.pitch);
    ForEachDirtyRow(s, destination, pitch,
                    [&](const uint8_t* src, uint8_t* dst) { std::memcpy(dst, src, bytes); });
}

bool IsIndexedDepth(int32_t depth) {
    return depth == 1 || depth == 2 || depth == 4 || depth == 8;
}

bool IsIndexedFormat(const host::PixelFormat& f) {
    return f.bitsPerPixel == 8 && f.redMask == 0 && f.greenMask == 0 && f.blueMask == 0;
}

enum class Src { kIndexed, k565, k888 };

template <Src S, Dst D, bool RedLow>
constexpr RowConverter Pick() {
    if constexpr (S == Src::kIndexed) return ConvertIndexed<D, RedLow>;
    if constexpr (S == Src::k565) return Convert565<D, RedLow>;
    if constexpr (S == Src::k888) return Convert888<D, RedLow>;
}

template <Src S>
RowConverter PickForDestination(Dst d, bool redLow) {
    switch (d) {
        case Dst::k15:
            return redLow ? Pick<S, Dst::k15, true>() : Pick<S, Dst::k15, false>();
        case Dst::k16:
            return redLow ? Pick<S, Dst::k16, true>() : Pick<S, Dst::k16, false>();
        case Dst::k24:
            return redLow ? Pick<S, Dst::k24, true>() : Pick<S, Dst::k24, false>();
        case Dst::k32:
            return redLow ? Pick<S, Dst::k32, true>() : Pick<S, Dst::k32, false>();
    }
    return nullptr;
}

// The destination layout of a pixel format; false for layouts without a
// converter.
bool DestinationOf(const host::PixelFormat& f, Dst* d, bool* redLow) {
    const uint32_t r = f.redMask, g = f.greenMask, b = f.blueMask;
    if (f.bitsPerPixel == 16) {
        if (g == 0x3E0 && ((r == 0x7C00 && b == 0x1F) || (r == 0x1F && b == 0x7C00))) {
            *d = Dst::k15;
            *redLow = r == 0x1F;
            return true;
        }
        if (g == 0x7E0 && ((r == 0xF800 && b == 0x1F) || (r == 0x1F && b == 0xF800))) {
            *d = Dst::k16;
            *redLow = r == 0x1F;
            return true;
        }
        return false;
    }
    if (f.bitsPerPixel == 24 || f.bitsPerPixel == 32) {
        if (g == 0xFF00 && ((r == 0xFF0000 && b == 0xFF) || (r == 0xFF && b == 0xFF0000))) {
            *d = f.bitsPerPixel == 24 ? Dst::k24 : Dst::k32;
            *redLow = r == 0xFF;
            return true;
        }
    }
    return false;
}

// Hands each message to the window procedure and tells the host what it needs
// of the pointer state afterwards.
class ProcedureSink final : public host::MessageSink {
  public:
    ProcedureSink(WindowState& ws, MouseState& mouse) : ws_(ws), mouse_(mouse) {}
    host::MessageResult Deliver(const host::WindowMessage& message) override {
        host::MessageResult result;
        result.defaultHandling = WindowProcedure(ws_, mouse_, message);
        result.watchLeave = mouse_.tracked;
        result.buttonHeld = mouse_.buttons != 0;
        return result;
    }

  private:
    WindowState& ws_;
    MouseState& mouse_;
};

bool SameFormat(const host::PixelFormat& a, const host::PixelFormat& b) {
    return a.bitsPerPixel == b.bitsPerPixel && a.redMask == b.redMask &&
           a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

// The converter for the host's picture as it is now: none when an indexed
// host takes the rows of a one-byte-per-pixel framebuffer as they are (their
// pitch a multiple of 4, no scan line repeated). False when the picture's
// format has no converter.
bool PickConverter(WindowState& ws, host::WindowHost& h) {
    const ScreenState& s = *ws.screen;
    const host::PixelFormat format = h.Format();
    const bool indexed = IsIndexedFormat(format);
    const bool rowsAsTheyAre = indexed && !h.LocksPicture() && IsIndexedDepth(s.depth) &&
                               s.scanlineSize <= 1 && s.pitch % 4 == 0;
    ws.format = format;
    ws.indexed = indexed;
    ws.convert = rowsAsTheyAre ? nullptr : ChooseConverter(s.depth, format);
    return rowsAsTheyAre || ws.convert != nullptr;
}

void ApplyRequests(WindowState& ws) {
    PendingRequests& p = ws.pending;
    host::WindowHost& h = *ws.host;
    if (p.title) h.SetTitle(p.titleText);
    if (p.move) h.MoveWindow(p.moveX, p.moveY);
    if (p.warp) h.WarpPointer(p.warpX, p.warpY);
    if (p.cursor) h.ShowPointer(p.cursorVisible);
    if (p.clip) h.ConfinePointer(p.clipOn);
    for (; p.bells > 0; --p.bells) h.RingBell();
    p.title = p.move = p.warp = p.cursor = p.clip = false;
}

}  // namespace

RowConverter ChooseConverter(int32_t sourceDepth, const host::PixelFormat& format) {
    if (IsIndexedFormat(format)) return IsIndexedDepth(sourceDepth) ? CopyIndexedRows : nullptr;
    Dst d;
    bool redLow;
    if (!DestinationOf(format, &d, &redLow)) return nullptr;
    switch (sourceDepth) {
        case 1:
        case 2:
        case 4:
        case 8:
            return PickForDestination<Src::kIndexed>(d, redLow);
        case 15:
        case 16:
            if (d == Dst::k24 || d == Dst::k32) {
                if (LookupArea() == nullptr) return nullptr;
                FillExpansionLookup(redLow);
            }
            return PickForDestination<Src::k565>(d, redLow);
        case 24:
        case 32:
            return PickForDestination<Src::k888>(d, redLow);
        default:
            return nullptr;
    }
}

bool PresentationInit(WindowState& ws) {
    if (ws.openHost == nullptr || ws.screen == nullptr) {
        return RefuseStart("kein Bildschirm zum Zeigen");
    }
    host::WindowHost* h = ws.openHost();
    if (h == nullptr) return false;  // the factory has said why
    const host::WindowRequest request{
        ws.title, ws.width,       ws.height, (ws.flags & kScreenFullScreen) != 0,
        ws.depth, ws.refreshRate, ws.flags};
    if (!h->CreateWindow(request)) {  // the host has said why
        delete h;
        return false;
    }
    if (!PickConverter(ws, *h)) {
        const int bits = h->Format().bitsPerPixel;
        h->DestroyWindow();
        delete h;
        return RefuseStart("kein darstellbares Pixelformat (%d Bit)", bits);
    }
    ws.host = h;
    ws.screen->refreshRate = h->RefreshRate();
    h->ScreenSize(&ws.screenWidth, &ws.screenHeight, &ws.screenDepth);
    ws.positionKnown = h->WindowPosition(&ws.outerX, &ws.outerY);
    return true;
}

void PresentationExit(WindowState& ws) {
    if (ws.host != nullptr) {
        ws.host->DestroyWindow();
        delete ws.host;
        ws.host = nullptr;
    }
    ws.convert = nullptr;
    ws.indexed = false;
}

void UpdatePass(WindowState& ws, MouseState& mouse) {
    ScreenState& s = *ws.screen;
    host::WindowHost& h = *ws.host;
    h.BeginPass();
    // The host may have changed its picture's format while the window stayed
    // (a display mode of its own in full screen): the converter chosen at the
    // start follows. A format without a converter shows nothing until the
    // next change.
    if (ws.format.bitsPerPixel != 0 && !SameFormat(h.Format(), ws.format) &&
        !PickConverter(ws, h)) {
        ws.indexed = false;
    }
    ApplyRequests(ws);

    // The palette shows through the conversion (or the host's colour table),
    // and the window keeps the colours it was shown: a changed palette means
    // showing every row again.
    if (ws.paletteChanged) {
        if (ws.indexed) h.SetColours(ws.paletteCopy);
        MarkAllRowsDirty(s);
        ws.paletteChanged = false;
    }

    const int32_t rows = s.height;
    int32_t first = 0;
    while (first < rows && s.dirtyRows[first] == 0) ++first;
    if (first < rows) {
        int32_t last = rows - 1;
        while (s.dirtyRows[last] == 0) --last;
        const int32_t repeat = std::max(s.scanlineSize, 1);
        const int32_t top = first * repeat;
        const int32_t count = std::min((last + 1) * repeat, ws.height) - top;
        // A picture that has to be locked and cannot be now keeps its rows
        // marked for the next pass.
        const bool written =
            ws.convert != nullptr ? h.LockPicture() : ws.indexed && !h.LocksPicture();
        if (written && ws.convert != nullptr) {
            ws.convert(s, h.Picture(), h.PicturePitch());
            h.UnlockPicture();
        }
        if (written) {
            if (count > 0) {
                if (ws.convert != nullptr) {
                    h.ShowRows(top, count);
                } else {
                    h.ShowRowsFrom(s.framebuffer + static_cast<size_t>(first) * s.pitch, s.pitch,
                                   top, count);
                }
                ++ws.stats.transfers;
                ws.stats.rowsShown += static_cast<uint64_t>(count);
            }
            std::memset(s.dirtyRows, 0, static_cast<size_t>(rows) * static_cast<size_t>(repeat));
        }
    }

    if (ws.active) RefreshKeyStates(ws);
    ProcedureSink sink(ws, mouse);
    h.Pump(sink);
    if (!h.ConnectionLost()) ws.positionKnown = h.WindowPosition(&ws.outerX, &ws.outerY);
    ++ws.stats.passes;
}

void PaintWindow(WindowState& ws) {
    if (ws.host == nullptr) return;
    if (ws.convert == nullptr && ws.indexed && ws.screen != nullptr) {
        const ScreenState& s = *ws.screen;
        ws.host->ShowRowsFrom(s.framebuffer, s.pitch, 0, std::min(s.height, ws.height));
        return;
    }
    ws.host->ShowRows(0, ws.height);
}

void RefreshKeyStates(WindowState& ws) {
    if (ws.screen == nullptr || ws.screen->keyStates == nullptr || ws.host == nullptr) return;
    if (ws.host->ReadScanCodeStates(ws.screen->keyStates)) return;
    uint8_t state[256];
    ws.host->KeyboardState(state);
    for (const KeyMapRow& row : KeyMapTable()) {
        if (row.scanCode >= kKeyStateCount) continue;
        const bool down = (state[row.vk1] & 0x80) != 0 || (row.vk2 != 0 && (state[row.vk2] & 0x80));
        ws.screen->keyStates[row.scanCode] = down ? 1 : 0;
    }
}

}  // namespace gfxwin
