// The DirectX picture of the Win32 window host: DirectDraw surfaces in the
// display's pixel format that the window layer's converter writes, a
// DirectDraw palette for an 8-bit display, the key states from a DirectInput
// keyboard device, and the passes' side of the vertical-blank handshake.
#include <cstring>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/window/presentation.h"
#include "gfxwin/window/refusal.h"
#include "gfxwin/window/win32/directx_host.h"
#include "gfxwin/window/win32/win32_window.h"
#include "gfxwin/window/window.h"

// The version whose interfaces DirectInputCreateA is asked for (768).
#define DIRECTINPUT_VERSION 0x0300
#include <ddraw.h>
#include <dinput.h>

namespace gfxwin::win32 {

namespace {

using DirectDrawCreateFn = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
using DirectDrawEnumerateExFn = HRESULT(WINAPI*)(LPDDENUMCALLBACKEXA, LPVOID, DWORD);
using DirectInputCreateFn = HRESULT(WINAPI*)(HINSTANCE, DWORD, LPDIRECTINPUTA*, LPUNKNOWN);

// Defined here rather than taken from dxguid, which the program does not link.
constexpr GUID kSystemKeyboard = {
    0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr GUID kKeyObject = {
    0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

constexpr DWORD kHandshakeWaitMs = 20;
constexpr DWORD kModeRetryMs = 300;
// Full screen: the heights tried after the requested mode, each taller one
// with the picture centred.
constexpr int kTallerHeights[] = {240, 480, 600, 768, 1024};

// The keyboard as a device state of 256 bytes, one per key.
struct KeyboardFormat {
    GUID key = kKeyObject;
    DIOBJECTDATAFORMAT objects[256];
    DIDATAFORMAT format;

    KeyboardFormat() {
        for (DWORD i = 0; i < 256; ++i) {
            objects[i] = DIOBJECTDATAFORMAT{
                &key, i, DIDFT_BUTTON | DIDFT_OPTIONAL | DIDFT_MAKEINSTANCE(i), 0};
        }
        format = DIDATAFORMAT{
            sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256, objects};
    }
};

const DIDATAFORMAT* KeyboardDataFormat() {
    static const KeyboardFormat keyboard;
    return &keyboard.format;
}

template <typename T>
void Release(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

// The related depth tried when a display refuses the requested one.
int RelatedDepth(int depth) {
    switch (depth) {
        case 15:
            return 16;
        case 16:
            return 15;
        case 24:
            return 32;
        case 32:
            return 24;
        default:
            return 0;
    }
}

class DirectXHost;

// Shared by the window thread's host and the drawing thread's handshake;
// under the driver lock, except the event, which the driver opens and closes.
struct DirectXShared {
    DirectXHost* host = nullptr;
    DirectXCounters counters{};
    unsigned faults = 0;  // 1 << DirectXFault
    HANDLE vblankEvent = nullptr;
    bool vblankPending = false;
};

DirectXShared gShared;

bool TakeFault(DirectXFault fault) {
    const unsigned bit = 1u << static_cast<unsigned>(fault);
    if ((gShared.faults & bit) == 0) return false;
    gShared.faults &= ~bit;
    return true;
}

class DirectXHost final : public Win32Window {
  public:
    DirectXHost() {
        centreClientOnPrimary_ = true;
        gShared.host = this;
    }
    ~DirectXHost() override {
        DestroyWindow();
        if (gShared.host == this) gShared.host = nullptr;
    }

    uint8_t* Picture() override {
        return bits_ != nullptr ? bits_ + static_cast<size_t>(offsetRows_) * pitch_ : nullptr;
    }
    int32_t PicturePitch() const override { return pitch_; }
    host::PixelFormat Format() const override { return format_; }
    void ShowRows(int32_t first, int32_t count) override;
    void SetColours(const uint8_t (&colours)[256][4]) override;
    bool LocksPicture() const override { return true; }
    bool LockPicture() override;
    void UnlockPicture() override;
    void BeginPass() override;
    bool ReadScanCodeStates(uint8_t states[128]) override;
    int32_t RefreshRate() override { return refreshRate_; }

    // For the drawing thread's handshake: the DirectDraw object, with a
    // reference of its own, and ddraw.dll held loaded for it (`*library`, to
    // be freed after the object's release); null when there is none. Under
    // the driver lock.
    IDirectDraw* ShareDirectDraw(HMODULE* library) {
        *library = nullptr;
        if (directDraw_ == nullptr || !GetModuleHandleExA(0, "ddraw.dll", library)) {
            return nullptr;
        }
        directDraw_->AddRef();
        return directDraw_;
    }

  protected:
    bool CreatePresentation() override;
    void ReleasePresentation() override;
    // DirectDraw switches and restores the display mode itself. ddraw.dll and
    // dinput.dll stay loaded across a full-screen switch and go with the host.
    bool SwitchDisplay(const char* /*device*/) override { return true; }
    void RestoreDisplay() override {}

  private:
    bool CreateDirectObjects();
    GUID* MonitorDevice(GUID* device);
    bool SetUpWindowed();
    bool SetUpFullScreen();
    bool SwitchMode();
    bool ReadFormat();
    bool SetUpKeyboard();
    bool RestoreSurfaces();
    void FillBars();
    HRESULT LockSurface(IDirectDrawSurface* surface, DDSURFACEDESC* desc);
    HRESULT Blit(RECT* to, RECT* from);
    HRESULT ReadKeyboard(BYTE state[256]);
    void MarkEverything();

    RuntimeLibrary ddraw_, dinput_;
    IDirectDraw* directDraw_ = nullptr;
    IDirectInputA* input_ = nullptr;
    IDirectInputDeviceA* keyboard_ = nullptr;
    IDirectDrawSurface* primary_ = nullptr;
    IDirectDrawSurface* offscreen_ = nullptr;  // windowed only
    IDirectDrawClipper* clipper_ = nullptr;
    IDirectDrawPalette* palette_ = nullptr;  // 8-bit displays only
    bool modeSwitched_ = false;
    int32_t modeHeight_ = 0;
    int32_t offsetRows_ = 0;  // full screen: rows above the centred picture
    host::PixelFormat format_{};
    int32_t refreshRate_ = 0;
    PALETTEENTRY colours_[256] = {};

    IDirectDrawSurface* locked_ = nullptr;
    uint8_t* bits_ = nullptr;
    int32_t pitch_ = 0;
    bool showAll_ = false;  // the window needs the whole picture again
    bool modeLost_ = false;
    DWORD lastTry_ = 0;
    bool modeGoes_ = false;  // test aid: the next restore finds the mode changed
};

// The device of the stored monitor, for full screen on a known monitor; null
// (the primary display) when DirectDraw does not list it.
GUID* DirectXHost::MonitorDevice(GUID* device) {
    const auto enumerate = ddraw_.Entry<DirectDrawEnumerateExFn>("DirectDrawEnumerateExA");
    if (enumerate == nullptr || Monitor() == nullptr) return nullptr;
    struct Search {
        HMONITOR monitor;
        GUID* device;
        bool found;
    } search{Monitor(), device, false};
    enumerate(
        [](GUID* guid, LPSTR, LPSTR, LPVOID context, HMONITOR monitor) -> WINBOOL {
            auto* s = static_cast<Search*>(context);
            if (guid == nullptr || monitor != s->monitor) return TRUE;
            *s->device = *guid;
            s->found = true;
            return FALSE;
        },
        &search, DDENUM_ATTACHEDSECONDARYDEVICES);
    return search.found ? device : nullptr;
}

bool DirectXHost::CreateDirectObjects() {
    if (!ddraw_.Load("ddraw.dll")) return RefuseStart("ddraw.dll nicht ladbar");
    if (!dinput_.Load("dinput.dll")) return RefuseStart("dinput.dll nicht ladbar");
    const auto createDraw = ddraw_.Entry<DirectDrawCreateFn>("DirectDrawCreate");
    const auto createInput = dinput_.Entry<DirectInputCreateFn>("DirectInputCreateA");
    if (createDraw == nullptr || createInput == nullptr) {
        return RefuseStart("DirectDraw oder DirectInput unvollstaendig");
    }
    GUID device;
    HRESULT hr = createDraw(FullScreen() ? MonitorDevice(&device) : nullptr, &directDraw_, nullptr);
    if (FAILED(hr)) return RefuseStart("DirectDraw startet nicht (0x%08lX)", hr);
    hr = createInput(Instance(), DIRECTINPUT_VERSION, &input_, nullptr);
    if (FAILED(hr)) return RefuseStart("DirectInput startet nicht (0x%08lX)", hr);
    return true;
}

// The window-init hook's DirectX part, on the window just made.
bool DirectXHost::CreatePresentation() {
    if (!CreateDirectObjects()) return false;
    if (!(FullScreen() ? SetUpFullScreen() : SetUpWindowed())) return false;
    if (!ReadFormat()) return false;
    DWORD hz = 0;
    if (SUCCEEDED(directDraw_->GetMonitorFrequency(&hz)) && hz > 1) {
        refreshRate_ = static_cast<int32_t>(hz);
    } else if (HDC dc = GetDC(Window())) {
        refreshRate_ = GetDeviceCaps(dc, VREFRESH);
        ReleaseDC(Window(), dc);
    }
    return SetUpKeyboard();
}

bool DirectXHost::SetUpWindowed() {
    // The drawing thread waits for the vertical blank on the same object.
    HRESULT hr = directDraw_->SetCooperativeLevel(Window(), DDSCL_NORMAL | DDSCL_MULTITHREADED);
    if (FAILED(hr)) return RefuseStart("DirectDraw: Kooperationsstufe (0x%08lX)", hr);
    hr = directDraw_->CreateClipper(0, &clipper_, nullptr);
    if (SUCCEEDED(hr)) hr = clipper_->SetHWnd(0, Window());
    if (FAILED(hr)) return RefuseStart("DirectDraw: kein Clipper (0x%08lX)", hr);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    hr = directDraw_->CreateSurface(&desc, &primary_, nullptr);
    if (SUCCEEDED(hr)) hr = primary_->SetClipper(clipper_);
    if (FAILED(hr)) return RefuseStart("DirectDraw: keine Primaerflaeche (0x%08lX)", hr);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = static_cast<DWORD>(Request().width);
    desc.dwHeight = static_cast<DWORD>(Request().height);
    hr = directDraw_->CreateSurface(&desc, &offscreen_, nullptr);
    if (FAILED(hr)) return RefuseStart("DirectDraw: keine Bildflaeche (0x%08lX)", hr);
    offsetRows_ = 0;
    return true;
}

// The requested mode, the same size at the related depth, then the taller
// heights at either depth.
bool DirectXHost::SwitchMode() {
    const int width = Request().width, height = Request().height;
    const int depths[] = {Request().depth, RelatedDepth(Request().depth)};
    auto tryMode = [&](int h) {
        for (const int depth : depths) {
            if (depth != 0 &&
                SUCCEEDED(directDraw_->SetDisplayMode(
                    static_cast<DWORD>(width), static_cast<DWORD>(h), static_cast<DWORD>(depth)))) {
                modeHeight_ = h;
                return true;
            }
        }
        return false;
    };
    if (tryMode(height)) return true;
    for (const int h : kTallerHeights) {
        if (h > height && tryMode(h)) return true;
    }
    return RefuseStart("kein Anzeigemodus %dx%d mit %d Bit", width, height, Request().depth);
}

bool DirectXHost::SetUpFullScreen() {
    HRESULT hr = directDraw_->SetCooperativeLevel(
        Window(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_MULTITHREADED);
    if (FAILED(hr)) return RefuseStart("DirectDraw: kein Vollbild (0x%08lX)", hr);
    if (!SwitchMode()) return false;
    modeSwitched_ = true;
    SetWindowPos(Window(), nullptr, 0, 0, Request().width, modeHeight_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    hr = directDraw_->CreateSurface(&desc, &primary_, nullptr);
    if (FAILED(hr)) return RefuseStart("DirectDraw: keine Primaerflaeche (0x%08lX)", hr);
    offsetRows_ = (modeHeight_ - Request().height) / 2;
    FillBars();
    return true;
}

// Black above and below a picture centred in a taller mode: the whole
// primary surface, the picture's rows drawn again afterwards.
void DirectXHost::FillBars() {
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    primary_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

// The primary surface's pixel format: RGB, with a palette at 8 bits; a
// converter must exist for it.
bool DirectXHost::ReadFormat() {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof pf;
    HRESULT hr = primary_->GetPixelFormat(&pf);
    if (FAILED(hr) || !(pf.dwFlags & DDPF_RGB)) return RefuseStart("Anzeige ohne RGB-Format");
    const int bits = static_cast<int>(pf.dwRGBBitCount);
    if (bits == 8) {
        format_ = {8, 0, 0, 0};
        hr = directDraw_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, colours_, &palette_,
                                        nullptr);
        if (SUCCEEDED(hr)) hr = primary_->SetPalette(palette_);
        if (FAILED(hr)) return RefuseStart("DirectDraw: keine Palette (0x%08lX)", hr);
    } else {
        // A 16-bit format with the green mask 0x3E0 is 5-5-5: the masks say so.
        format_ = {bits, pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask};
    }
    gShared.counters.bitsPerPixel = bits;
    if (ChooseConverter(Request().depth, format_) == nullptr) {
        return RefuseStart("kein Umsetzer fuer %d Bit (Rot 0x%lX)", bits,
                           static_cast<unsigned long>(format_.redMask));
    }
    return true;
}

bool DirectXHost::SetUpKeyboard() {
    HRESULT hr = input_->CreateDevice(kSystemKeyboard, &keyboard_, nullptr);
    if (SUCCEEDED(hr)) hr = keyboard_->SetDataFormat(KeyboardDataFormat());
    if (SUCCEEDED(hr)) {
        hr = keyboard_->SetCooperativeLevel(Window(), DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    }
    if (FAILED(hr)) return RefuseStart("DirectInput: keine Tastatur (0x%08lX)", hr);
    keyboard_->Acquire();  // may wait until the window is in front: the passes retry
    return true;
}

// The window-exit hook's DirectX part: keyboard, DirectInput, palette and
// surfaces, the display mode, DirectDraw.
void DirectXHost::ReleasePresentation() {
    if (keyboard_ != nullptr) keyboard_->Unacquire();
    Release(keyboard_);
    Release(input_);
    Release(palette_);
    Release(offscreen_);
    Release(primary_);
    Release(clipper_);
    if (modeSwitched_ && directDraw_ != nullptr) {
        directDraw_->RestoreDisplayMode();
        directDraw_->SetCooperativeLevel(Window(), DDSCL_NORMAL);
    }
    modeSwitched_ = false;
    Release(directDraw_);
    format_ = {};
    locked_ = nullptr;
    bits_ = nullptr;
    modeLost_ = false;
}

void DirectXHost::MarkEverything() {
    if (ScreenState* screen = WindowThread().window.screen) MarkAllRowsDirty(*screen);
    showAll_ = true;
}

// Restores lost surfaces; false when the display mode itself was lost, and
// everything is made again from the next pass on.
bool DirectXHost::RestoreSurfaces() {
    ++gShared.counters.restores;
    HRESULT hr = DDERR_WRONGMODE;
    if (!modeGoes_) hr = primary_->Restore();
    if (SUCCEEDED(hr) && offscreen_ != nullptr) hr = offscreen_->Restore();
    modeGoes_ = false;
    if (hr == DDERR_WRONGMODE) {
        modeLost_ = true;
        lastTry_ = GetTickCount() - kModeRetryMs;
        return false;
    }
    // A restored surface has lost its pixels: the picture is drawn again, and
    // in full screen the bars are filled again.
    if (SUCCEEDED(hr) && offscreen_ == nullptr && offsetRows_ > 0) FillBars();
    MarkEverything();
    return SUCCEEDED(hr);
}

HRESULT DirectXHost::LockSurface(IDirectDrawSurface* surface, DDSURFACEDESC* desc) {
    if (TakeFault(DirectXFault::kLockLost)) return DDERR_SURFACELOST;
    if (TakeFault(DirectXFault::kModeLost)) {
        modeGoes_ = true;  // and the restore finds the display mode changed
        return DDERR_SURFACELOST;
    }
    *desc = DDSURFACEDESC{};
    desc->dwSize = sizeof *desc;
    return surface->Lock(nullptr, desc, DDLOCK_WAIT, nullptr);
}

// Shown only while the window is in front, or windowed.
bool DirectXHost::LockPicture() {
    if (modeLost_ || primary_ == nullptr || (FullScreen() && !Active())) return false;
    IDirectDrawSurface* surface = offscreen_ != nullptr ? offscreen_ : primary_;
    DDSURFACEDESC desc;
    HRESULT hr = LockSurface(surface, &desc);
    if (hr == DDERR_SURFACELOST) {
        if (!RestoreSurfaces()) return false;
        ++gShared.counters.retries;
        hr = LockSurface(surface, &desc);
    }
    if (FAILED(hr)) return false;
    locked_ = surface;
    bits_ = static_cast<uint8_t*>(desc.lpSurface);
    pitch_ = static_cast<int32_t>(desc.lPitch);
    ++gShared.counters.locks;
    return true;
}

void DirectXHost::UnlockPicture() {
    if (locked_ != nullptr) locked_->Unlock(bits_);
    locked_ = nullptr;
    bits_ = nullptr;
}

HRESULT DirectXHost::Blit(RECT* to, RECT* from) {
    if (TakeFault(DirectXFault::kBlitLost)) return DDERR_SURFACELOST;
    return primary_->Blt(to, offscreen_, from, DDBLT_WAIT, nullptr);
}

// Windowed: the rows go from the off-screen surface to the client area, in
// screen coordinates. In full screen they are on the display already.
void DirectXHost::ShowRows(int32_t first, int32_t count) {
    if (offscreen_ == nullptr || primary_ == nullptr || modeLost_ || Window() == nullptr) return;
    if (showAll_) {
        first = 0;
        count = Request().height;
    }
    POINT corner{0, 0};
    ClientToScreen(Window(), &corner);
    RECT from{0, first, Request().width, first + count};
    RECT to{corner.x, corner.y + first, corner.x + Request().width, corner.y + first + count};
    HRESULT hr = Blit(&to, &from);
    if (hr == DDERR_SURFACELOST && RestoreSurfaces()) {
        ++gShared.counters.retries;
        hr = Blit(&to, &from);
    }
    if (FAILED(hr)) return;
    showAll_ = false;
    ++gShared.counters.blits;
    gShared.counters.rows += static_cast<unsigned long long>(count);
}

void DirectXHost::SetColours(const uint8_t (&colours)[256][4]) {
    for (int i = 0; i < 256; ++i) {
        colours_[i] = PALETTEENTRY{colours[i][0], colours[i][1], colours[i][2], 0};
    }
    if (palette_ != nullptr) palette_->SetEntries(0, 0, 256, colours_);
}

// The vertical-blank request of the drawing thread, waited for at most
// 20 ms; and a display mode lost, made again every 300 ms until it works.
void DirectXHost::BeginPass() {
    if (gShared.vblankPending) {
        gShared.vblankPending = false;
        ++gShared.counters.handshakeWaits;
        if (gShared.vblankEvent != nullptr &&
            WaitForSingleObject(gShared.vblankEvent, kHandshakeWaitMs) == WAIT_OBJECT_0) {
            ++gShared.counters.handshakesSeen;
        }
    }
    if (!modeLost_ || GetTickCount() - lastTry_ < kModeRetryMs) return;
    lastTry_ = GetTickCount();
    ReleasePresentation();
    if (!CreatePresentation()) {
        ReleasePresentation();
        modeLost_ = true;  // tried again after the next 300 ms
        return;
    }
    ++gShared.counters.recreations;
    MarkEverything();
}

HRESULT DirectXHost::ReadKeyboard(BYTE state[256]) {
    if (TakeFault(DirectXFault::kKeyboardLost)) keyboard_->Unacquire();
    return keyboard_->GetDeviceState(256, state);
}

// Key state i is down when device byte i or i + 128 (the extended key of the
// same scan code) is; a device that lost its input is acquired again.
bool DirectXHost::ReadScanCodeStates(uint8_t states[128]) {
    if (keyboard_ == nullptr) return false;
    BYTE state[256];
    HRESULT hr = ReadKeyboard(state);
    if (hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED) {
        ++gShared.counters.reacquires;
        if (SUCCEEDED(keyboard_->Acquire())) hr = ReadKeyboard(state);
    }
    if (FAILED(hr)) {
        std::memset(states, 0, 128);
        return true;
    }
    ++gShared.counters.keyReads;
    for (int i = 0; i < 128; ++i) states[i] = ((state[i] | state[i + 128]) & 0x80) ? 1 : 0;
    return true;
}

}  // namespace

host::WindowHost* OpenDirectXHost() {
    return new DirectXHost();
}

DirectXCounters ReadDirectXCounters() {
    DriverLock();
    const DirectXCounters counters = gShared.counters;
    DriverUnlock();
    return counters;
}

void InjectDirectXFault(DirectXFault fault) {
    DriverLock();
    gShared.faults |= 1u << static_cast<unsigned>(fault);
    DriverUnlock();
}

bool OpenVerticalBlankEvent() {
    if (gShared.vblankEvent == nullptr) {
        gShared.vblankEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    return gShared.vblankEvent != nullptr;
}

void CloseVerticalBlankEvent() {
    if (gShared.vblankEvent != nullptr) CloseHandle(gShared.vblankEvent);
    gShared.vblankEvent = nullptr;
    gShared.vblankPending = false;
}

// The drawing thread flags the request under the driver lock, waits for the
// start of the vertical blank through DirectDraw without it, and signals the
// event the window thread's next pass waits for. Its own reference keeps the
// DirectDraw object, and the library it holds keeps ddraw.dll, while the
// window thread releases or makes the presentation again. Without an object
// (the display mode lost and not yet made again), or when DirectDraw cannot
// wait, one refresh period's sleep stands in for the wait.
void VerticalBlankHandshake() {
    const bool held = DrawingThreadHoldsLock();
    if (!held) DriverLock();
    HMODULE library = nullptr;
    IDirectDraw* directDraw =
        gShared.host != nullptr ? gShared.host->ShareDirectDraw(&library) : nullptr;
    if (gShared.vblankEvent != nullptr) ResetEvent(gShared.vblankEvent);
    gShared.vblankPending = true;
    ++gShared.counters.handshakes;
    if (!held) DriverUnlock();
    bool waited = false;
    if (directDraw != nullptr) {
        waited = SUCCEEDED(directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr));
        directDraw->Release();
        FreeLibrary(library);
    }
    if (!waited) WaitVerticalBlank();
    if (gShared.vblankEvent != nullptr) SetEvent(gShared.vblankEvent);
}

}  // namespace gfxwin::win32
