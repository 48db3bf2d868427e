#include "gfxwin/screen_mode.h"

#include <algorithm>
#include <cstring>

#include "gfxwin/console/graphics_hooks.h"
#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen/drawing_state.h"
#include "gfxwin/screen/mode_table.h"
#include "gfxwin/screen/palette.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen_setup.h"
#include "gfxwin/text/text_console.h"
#include "gfxwin/text/text_engine.h"
#include "gfxwin/window/driver_list.h"
#include "gfxwin/window_driver.h"
#include "platform/process.h"
#include "textio/console.h"
#include "textio/last_error.h"
#include "textio/runtime.h"
#include "textio/screen_channel.h"

namespace gfxwin {

namespace {

ScreenSetupState& Setup() {
    return Drawing().setup;
}

// The full path of the running program, at most `limit` bytes.
std::string ExecutablePath(size_t limit) {
    std::string result = platform::ExecutablePath(limit);
    if (result.empty()) {
        if (const char* name = textio::ProgramName()) result = name;
    }
    if (result.size() > limit) result.resize(limit);
    return result;
}

void SetTitleOnce() {
    ScreenSetupState& setup = Setup();
    if (setup.title != nullptr) return;
    const std::string title = TitleFromPath(ExecutablePath(kTitleCapacity - 2));
    const size_t n = std::min(title.size(), kTitleCapacity - 1);
    std::memcpy(setup.titleBuffer, title.data(), n);
    setup.titleBuffer[n] = '\0';
    setup.title = setup.titleBuffer;
}

// Releases everything the open screen holds; the driver is stopped first.
void Teardown(ScreenState* screen) {
    if (screen->driver != nullptr && screen->driver->exit != nullptr) screen->driver->exit();
    ReleaseDrawRows();
    SetCurrentScreen(nullptr);
    DeleteScreenState(screen);
    ScreenFree(LookupArea());
    SetLookupArea(nullptr);
}

// Back to the text console (mode 0): the console operations go back to the
// terminal; unless the close is quiet, the console is cleared and its text
// view covers every row.
int CloseToText(int32_t flags) {
    RemoveGraphicsHooks();
    const bool quiet = flags == kScreenQuietClose;
    if (!quiet) textio::ClearScreen(0);
    textio::SetTextView(textio::TextView{-1, -1});
    if (!quiet) {
        int32_t rows = 0;
        textio::ConsoleTextSize(nullptr, &rows);
        textio::SetTextView(textio::TextView{0, rows > 0 ? rows - 1 : 24});
    }
    return textio::kOk;
}

int FailSetup() {
    if (CurrentScreen() != nullptr) {
        CloseScreen();
    } else {
        RemoveGraphicsHooks();
        textio::SetTextView(textio::TextView{-1, -1});
    }
    return textio::kErrInvalidCall;
}

// The pages, marks, palettes, key states and event queue of the screen, and
// the converters' lookup area. False when memory runs out (what was made is
// the screen's, and goes with it).
bool AllocateBuffers(ScreenState& s) {
    const size_t pageBytes = static_cast<size_t>(s.pitch) * static_cast<size_t>(s.height);
    if (!s.pages.Allocate(s.pageCount, pageBytes, false)) return false;
    s.framebuffer = s.pages[0];
    s.visiblePage = 0;

    const size_t marks = static_cast<size_t>(s.height) * static_cast<size_t>(s.scanlineSize);
    s.dirtyRows = NewScreenArray<uint8_t>(marks, true);
    s.palette = NewScreenArray<uint32_t>(kPaletteSize, true);
    s.devicePalette = NewScreenArray<uint32_t>(kPaletteSize, true);
    s.colourAssociation = NewScreenArray<uint8_t>(kColourAssociationSize, true);
    s.keyStates = NewScreenArray<uint8_t>(kKeyStateCount, true);
    s.events = NewScreenArray<WindowEvent>(kEventQueueSize, true);
    if (s.dirtyRows == nullptr || s.palette == nullptr || s.devicePalette == nullptr ||
        s.colourAssociation == nullptr || s.keyStates == nullptr || s.events == nullptr) {
        return false;
    }
    s.eventGuard = NewScreenObject<EventGuard>();
    if (s.eventGuard == nullptr) return false;
    auto* lookup = static_cast<uint32_t*>(ScreenAlloc(sizeof(uint32_t) * kLookupEntries, true));
    if (lookup == nullptr) return false;
    SetLookupArea(lookup);
    return true;
}

bool BuildTextShadows(ScreenState& s, const DrawContext& context) {
    const size_t cells = static_cast<size_t>(s.textColumns) * static_cast<size_t>(s.textRows);
    if (!s.textShadow.Allocate(s.pageCount, cells, true)) return false;
    BlankShadowRows(s, context, 0, s.textRows, 0, s.textColumns - 1);
    return true;
}

void ClearPages(const ScreenState& s, const DrawContext& context) {
    const PixelRoutines* pixels = s.pixels;
    for (int32_t p = 0; p < s.pageCount; ++p) {
        for (int32_t y = 0; y < s.height; ++y) {
            pixels->fillSpan(s.pages[p] + static_cast<size_t>(y) * static_cast<size_t>(s.pitch), 0,
                             context.viewWidth, context.background);
        }
    }
}

}  // namespace

std::string TitleFromPath(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return std::string(name);
}

const char* WindowTitle() {
    const char* title = Setup().title;
    return title != nullptr ? title : "";
}

namespace {

// The depth the framebuffer stores (1, 2, 4, 8, 16 or 32), its colour mask,
// bytes per pixel and pitch.
void NormaliseDepth(ScreenState& s) {
    if (s.depth == 24 || s.depth == 32) {
        s.depth = 32;
        s.colourMask = 0xFFFFFFFFu;
        s.bytesPerPixel = 4;
    } else if (s.depth == 15 || s.depth == 16) {
        s.depth = 16;
        s.colourMask = 0xFFFF;
        s.bytesPerPixel = 2;
    } else {
        s.colourMask = (1u << s.depth) - 1;
        s.bytesPerPixel = (s.depth + 7) / 8;
    }
    s.pitch = s.width * s.bytesPerPixel;
}

// The record of the new screen, made the open screen, with its mode, size,
// font and default palette, aspect and stored depth. Null when memory or the
// built-in data fail (the record, if made, is already the open screen).
ScreenState* NewScreen(const ModeRequest& request, int32_t flags) {
    ScreenState* made = NewScreenState();
    if (made == nullptr) return nullptr;
    ScreenState& s = *made;
    SetCurrentScreen(&s);
    s.modeId = NextModeId();
    s.modeNumber = request.mode;
    s.width = request.width;
    s.height = request.height;
    s.depth = request.depth;
    if (HoldsScreenFlags(flags) && (flags & kScreenOpenGL)) s.depth = std::max(s.depth, 16);

    // The descriptors live in the unpacked block, so it is unpacked first.
    if (!UnpackBuiltinData()) return nullptr;
    s.defaultPalette = request.paletteIndex >= 0 ? BuiltinPalette(request.paletteIndex) : nullptr;
    s.font = request.fontIndex >= 0 ? BuiltinFont(request.fontIndex) : nullptr;
    s.scanlineSize = std::max(request.scanlineSize, 1);

    if (request.aspect != 0.0f) {
        s.aspect = request.aspect;
    } else {
        const float quotient = static_cast<float>(s.height) / static_cast<float>(s.width);
        s.aspect = static_cast<float>(quotient * 1.3333333333333333);
    }
    NormaliseDepth(s);
    s.pageCount = std::max(request.pages, 1);
    return &s;
}

// The status flags of the request, the pixel routines, the VGA ports, the
// window title, and a started driver. False when no driver starts.
bool StartScreen(ScreenState& s, int32_t refreshRate, int32_t flags) {
    if (flags != kScreenNullDriver) {
        if (flags & kScreenAlpha) s.statusFlags |= kStatusAlpha;
        if (flags & kScreenOpenGL) s.statusFlags |= kStatusOpenGL;
    }
    s.pixels = PixelRoutinesFor(s.bytesPerPixel);
    ResetVgaPorts();
    SetTitleOnce();
    s.driver =
        StartDriver(WindowTitle(), s.width, s.height * s.scanlineSize, s.depth, refreshRate, flags);
    return s.driver != nullptr;
}

// The text grid and its shadows, and every page cleared. False when memory
// runs out.
bool BuildTextGrid(ScreenState& s, const ModeRequest& request) {
    s.textColumns = request.textColumns;
    s.textRows = request.textRows;
    DrawContext& context = GetDrawContext();
    if (context.rows == nullptr || !BuildTextShadows(s, context)) return false;
    // The driver's window thread may already be showing the pages: clear them
    // under the lock and have every row shown again.
    LockScreen();
    ClearPages(s, context);
    UnlockScreen(0, -1);
    return true;
}

// What follows a built screen: the screen channel's geometry, the program-end
// hook, the text view and the cursor.
void FinishSetup(ScreenState& s, int32_t flags) {
    textio::ScreenRefreshGeometry();

    ScreenSetupState& setup = Setup();
    // A runtime state that was zeroed again has lost the hook as well.
    if (!setup.endHookRegistered || textio::CurrentProgramEndHook() == nullptr) {
        textio::SetProgramEndHook(CloseScreen);
        setup.endHookRegistered = true;
    }

    if (flags != kScreenQuietClose) {
        textio::SetTextView(textio::TextView{0, s.textRows - 1});
        Locate(1, 1, 0);
    }
}

}  // namespace

int SetMode(const ModeRequest& request) {
    int32_t flags = request.flags;
    if (HoldsScreenFlags(flags) && (flags & kScreenShaped)) {
        flags |= kScreenNoSwitch | kScreenNoFrame;
    }

    if (ScreenState* old = CurrentScreen()) Teardown(old);
    if (request.mode == 0 || request.width == 0) return CloseToText(flags);

    InstallGraphicsHooks();
    ScreenState* screen = NewScreen(request, flags);
    if (screen == nullptr || !AllocateBuffers(*screen) ||
        !StartScreen(*screen, request.refreshRate, flags)) {
        return FailSetup();
    }
    ApplyDefaultPalette(*screen);
    if (!BuildTextGrid(*screen, request)) return FailSetup();
    FinishSetup(*screen, flags);
    return textio::kOk;
}

int OpenScreen(int32_t mode, int32_t depth, int32_t pages, int32_t flags, int32_t refreshRate) {
    const ModeInfo* row = FindMode(mode);
    if (row == nullptr || (mode != 0 && row->width == 0)) return textio::SetLastError(1);

    int32_t useDepth = row->depth;
    const bool deepDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    if (deepDepth && mode > 13) useDepth = depth;
    const int32_t usePages = pages <= 0 ? row->pages : pages;

    const ModeRequest request{
        mode,      row->width,       row->height,   row->scanlineSize, row->palette,
        row->font, row->textColumns, row->textRows, useDepth,          usePages,
        flags,     refreshRate,      0.0f};
    const int code = SetMode(request);
    if (code == 0) textio::ScreenSetColumn(0);
    return textio::SetLastError(code);
}

void CloseScreen() {
    if (CurrentScreen() == nullptr) return;
    ModeRequest request{};
    request.flags = kScreenQuietClose;
    SetMode(request);
}

}  // namespace gfxwin
