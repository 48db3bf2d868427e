// The GDI picture of the Win32 window host: a device-independent bitmap
// header with its colour table, a logical palette, and rows copied to the
// window with SetDIBitsToDevice, straight from the framebuffer when its rows
// fit the bitmap format, else from a buffer the converter fills.
#include <cstdlib>
#include <cstring>

#include "gfxwin/window/refusal.h"
#include "gfxwin/window/win32/gdi_host.h"
#include "gfxwin/window/win32/win32_window.h"
#include "gfxwin/window/window.h"

namespace gfxwin::win32 {

namespace {

// Device-independent bitmap header with its 256-entry colour table, in one
// zero-filled block.
constexpr size_t kHeaderBytes = 1068;
static_assert(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) <= kHeaderBytes);

// Written on the window thread under the driver lock, read under it too.
GdiCounters gCounters{};

class GdiHost final : public Win32Window {
  public:
    ~GdiHost() override { DestroyWindow(); }

    uint8_t* Picture() override { return buffer_; }
    int32_t PicturePitch() const override { return bufferPitch_; }
    host::PixelFormat Format() const override;
    void ShowRows(int32_t first, int32_t count) override;
    void SetColours(const uint8_t (&colours)[256][4]) override;
    void ShowRowsFrom(const uint8_t* rows, int32_t pitch, int32_t first, int32_t count) override;
    int32_t RefreshRate() override { return refreshRate_; }

  protected:
    bool CreatePresentation() override;
    void ReleasePresentation() override;
    void AfterPaint(HWND hwnd) override;

  private:
    void FillHeader();
    void ShowFrom(const uint8_t* bits, int32_t first, int32_t count);

    BITMAPINFO* header_ = nullptr;  // kHeaderBytes, zero-filled
    uint8_t* buffer_ = nullptr;     // the picture, when the rows are converted
    int32_t bufferPitch_ = 0;
    HPALETTE palette_ = nullptr;
    PALETTEENTRY colours_[256] = {};
    int32_t refreshRate_ = 0;
};

host::PixelFormat GdiHost::Format() const {
    if (Request().depth <= 8) return {8, 0, 0, 0};
    // Uncompressed 16-bit device-independent bitmaps are 5-5-5, red high.
    if (Request().depth <= 16) return {16, 0x7C00, 0x3E0, 0x1F};
    return {32, 0xFF0000, 0xFF00, 0xFF};
}

// The bitmap header, the conversion buffer, the display's refresh rate and the
// logical palette, for the window just made.
bool GdiHost::CreatePresentation() {
    header_ = static_cast<BITMAPINFO*>(std::calloc(1, kHeaderBytes));
    if (header_ == nullptr) return RefuseStart("kein Speicher fuer das Bild");
    FillHeader();

    // Rows that cannot come straight from the framebuffer are converted into a
    // buffer of rows padded to four bytes, as the bitmap format wants.
    const int32_t width = Request().width, height = Request().height;
    bufferPitch_ = ((width * Format().bitsPerPixel / 8) + 3) & ~3;
    buffer_ = static_cast<uint8_t*>(
        std::calloc(static_cast<size_t>(height), static_cast<size_t>(bufferPitch_)));
    if (buffer_ == nullptr) return RefuseStart("kein Speicher fuer das Bild");

    if (HDC dc = GetDC(Window())) {
        refreshRate_ = GetDeviceCaps(dc, VREFRESH);
        ReleaseDC(Window(), dc);
    }

    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical{0x300, 256, {}};
    std::memcpy(logical.entries, colours_, sizeof colours_);
    palette_ = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
    return true;
}

void GdiHost::FillHeader() {
    BITMAPINFOHEADER& h = header_->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = Request().width;
    h.biHeight = -Request().height;  // rows run top-down
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(Format().bitsPerPixel);
    h.biCompression = BI_RGB;
    h.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        header_->bmiColors[i] =
            RGBQUAD{colours_[i].peBlue, colours_[i].peGreen, colours_[i].peRed, 0};
    }
}

void GdiHost::ReleasePresentation() {
    std::free(buffer_);
    buffer_ = nullptr;
    std::free(header_);
    header_ = nullptr;
    if (palette_ != nullptr) {
        DeleteObject(palette_);
        palette_ = nullptr;
    }
}

// The whole frame went to the window for WM_PAINT: the client area is marked
// for repainting, without erasing.
void GdiHost::AfterPaint(HWND hwnd) {
    ++gCounters.paints;
    InvalidateRect(hwnd, nullptr, FALSE);
}

void GdiHost::SetColours(const uint8_t (&colours)[256][4]) {
    for (int i = 0; i < 256; ++i) {
        colours_[i] = PALETTEENTRY{colours[i][0], colours[i][1], colours[i][2], colours[i][3]};
        if (header_ != nullptr) {
            header_->bmiColors[i] = RGBQUAD{colours[i][2], colours[i][1], colours[i][0], 0};
        }
    }
    if (palette_ != nullptr) SetPaletteEntries(palette_, 0, 256, colours_);
    ++gCounters.colourTables;
}

// One SetDIBitsToDevice call: `count` rows from `bits` to the window at row
// `first`, full width.
void GdiHost::ShowFrom(const uint8_t* bits, int32_t first, int32_t count) {
    HWND hwnd = Window();
    if (hwnd == nullptr || header_ == nullptr || count <= 0) return;
    HDC dc = GetDC(hwnd);
    if (dc == nullptr) return;
    HPALETTE previous = nullptr;
    if (palette_ != nullptr) {
        previous = SelectPalette(dc, palette_, FALSE);
        RealizePalette(dc);
    }
    SetDIBitsToDevice(dc, 0, first, static_cast<DWORD>(Request().width), static_cast<DWORD>(count),
                      0, 0, 0, static_cast<UINT>(count), bits, header_, DIB_RGB_COLORS);
    if (previous != nullptr) SelectPalette(dc, previous, FALSE);
    ReleaseDC(hwnd, dc);
    ++gCounters.transfers;
    gCounters.rows += static_cast<unsigned long long>(count);
}

void GdiHost::ShowRows(int32_t first, int32_t count) {
    if (buffer_ == nullptr) return;
    ShowFrom(buffer_ + static_cast<size_t>(first) * static_cast<size_t>(bufferPitch_), first,
             count);
    gCounters.fromFramebuffer = false;
}

void GdiHost::ShowRowsFrom(const uint8_t* rows, int32_t pitch, int32_t first, int32_t count) {
    if (pitch != bufferPitch_) return;  // the bitmap header describes rows of this pitch
    ShowFrom(rows, first, count);
    gCounters.fromFramebuffer = true;
}

}  // namespace

host::WindowHost* OpenGdiHost() {
    return new GdiHost();
}

GdiCounters ReadGdiCounters() {
    DriverLock();
    const GdiCounters counters = gCounters;
    DriverUnlock();
    return counters;
}

}  // namespace gfxwin::win32
