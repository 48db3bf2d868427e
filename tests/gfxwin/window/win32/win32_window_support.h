// Aids for the tests of the Win32 windows: the open screen's window, the key
// message bits a keyboard sends, and the window's pixels read back and
// compared with the framebuffer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "gfxwin/window/win32/win32_host.h"
#include "tests/gfxwin/window/window_test_support.h"

// After the window layer's headers: windows.h names a macro CreateWindow.
#include <windows.h>
#undef CreateWindow

namespace gfxwin::testing {

// The window of the open screen (the last the Win32 host made).
inline HWND TheWindowHandle() {
    return FindWindowA(win32::LastWindowFacts().className, nullptr);
}

// lParam of a key message: repeat count 1, the scan code, the extended flag,
// the context (Alt) bit, and for a release the previous-state and transition
// bits.
inline LPARAM KeyBits(int scanCode, bool extended, bool alt = false, bool release = false) {
    uint32_t bits = 1u | (static_cast<uint32_t>(scanCode) << 16);
    if (extended) bits |= 1u << 24;
    if (alt) bits |= 1u << 29;
    if (release) bits |= (1u << 30) | (1u << 31);
    return static_cast<LPARAM>(bits);
}

// Every pixel of the client area, read back from the window once the rows are
// shown, equals the framebuffer through the device palette.
inline ::testing::AssertionResult WindowShowsFramebuffer(HWND hwnd) {
    WaitIdle();
    HDC window = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 640;
    info.bmiHeader.biHeight = -480;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 640, 480, window, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    const ::testing::AssertionResult shown =
        FramebufferShown([&](int x, int y) { return pixels[y * 640 + x] & 0xFFFFFF; });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
    return shown;
}

}  // namespace gfxwin::testing
