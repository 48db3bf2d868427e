// The GDI window on a real Windows desktop (under Wine: an X server): the
// window as it is made, the presentation read back from the window, and real
// window messages posted to it from this thread. Skipped when no window can be
// made (no display).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/keys/key_translation.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/screen_setup.h"
#include "gfxwin/text/text_engine.h"
#include "gfxwin/window/driver_list.h"
#include "gfxwin/window/win32/gdi_host.h"
#include "gfxwin/window/win32/win32_host.h"
#include "gfxwin/window/window.h"
#include "gfxwin/window/window_proc.h"
#include "support/screen_dump.h"
#include "tests/gfxwin/window/win32/win32_window_support.h"
#include "tests/gfxwin/window/window_test_support.h"
#include "textio/beep.h"

namespace gfxwin {
namespace {

using gfxwin::testing::KeyBits;
using gfxwin::testing::ScopedEnv;
using gfxwin::testing::TheWindowHandle;

constexpr DWORD kWaitMs = 3000;

std::string ProgramTitle() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return TitleFromPath(path);
}

// The window stays open for every test of a suite (a window takes a while to
// go without a window manager); tests that end it have their own fixture.
class GdiWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        testing::ResetScreenWorld();
        ResetKeyBufferForTest();
        driver_ = new ScopedEnv("KRGFX", "gdi");
        if (OpenScreen(18, 8, 0, 0, 0) != 0)
            skipReason_ = "no window can be made here (no display)";
    }
    static void TearDownTestSuite() {
        testing::ResetScreenWorld();
        ResetKeyBufferForTest();
        delete driver_;
        driver_ = nullptr;
        skipReason_.clear();
    }

    void SetUp() override {
        if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
        ASSERT_NE(CurrentScreen(), nullptr);
        ASSERT_STREQ(CurrentScreen()->driver->name, "GDI");
        hwnd_ = TheWindowHandle();
        ASSERT_NE(hwnd_, nullptr);
        WaitIdle();
        KeysAsText(50);  // nothing left over from the test before
    }

    void TearDown() override {
        if (skipReason_.empty()) testing::DumpScreenIfFailed();
    }

    static void WaitIdle() { testing::WaitIdle(); }
    static std::string KeysAsText(int quietMs = 200) { return testing::KeysAsText(quietMs); }
    static std::vector<WindowEvent> Events() { return testing::RecordedEvents(); }

    ::testing::AssertionResult PictureMatches() { return testing::WindowShowsFramebuffer(hwnd_); }

    static void Print(const std::string& text) { PrintText(text.data(), text.size(), 0); }

    static ScopedEnv* driver_;
    static std::string skipReason_;
    HWND hwnd_ = nullptr;
};

ScopedEnv* GdiWindowTest::driver_ = nullptr;
std::string GdiWindowTest::skipReason_;

// Tests that end the window: each opens its own.
class GdiWindowLifeTest : public GdiWindowTest {
  protected:
    static void SetUpTestSuite() {}
    static void TearDownTestSuite() {}
    void SetUp() override {
        testing::ResetScreenWorld();
        driver_.emplace("KRGFX", "gdi");
        if (OpenScreen(18, 8, 0, 0, 0) != 0)
            GTEST_SKIP() << "no window can be made here (no display)";
        hwnd_ = TheWindowHandle();
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override {
        testing::ResetScreenWorld();
        driver_.reset();
    }
    std::optional<ScopedEnv> driver_;
};

TEST_F(GdiWindowTest, WindowIsMadeAsDescribed) {
    const win32::WindowFacts facts = win32::LastWindowFacts();
    EXPECT_EQ(std::string(facts.className).rfind("krgfxclass_", 0), 0u) << facts.className;
    EXPECT_EQ(std::strlen(facts.className), 27u) << facts.className;
    EXPECT_EQ(facts.style & 0x00FF0000ul, 0x00CB0000ul);  // caption, menu, minimise, maximise
    EXPECT_NE(facts.style & WS_VISIBLE, 0ul);
    EXPECT_EQ(facts.style & WS_THICKFRAME, 0ul);
    EXPECT_EQ(facts.classStyle, 11ul);  // CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS
    EXPECT_EQ(facts.clientWidth, 640);
    EXPECT_EQ(facts.clientHeight, 480);
    // The program's icon (resource 1, which this test program carries too).
    const HICON programIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    ASSERT_NE(programIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(hwnd_, GCLP_HICON)), programIcon);

    RECT client{};
    ASSERT_TRUE(GetClientRect(hwnd_, &client));
    EXPECT_EQ(client.right - client.left, 640);
    EXPECT_EQ(client.bottom - client.top, 480);
    char title[128] = {};
    GetWindowTextA(hwnd_, title, sizeof title);
    EXPECT_EQ(std::string(title), ProgramTitle());
    EXPECT_EQ(ProgramTitle(), "win32_tests");
}

TEST_F(GdiWindowTest, TheWindowKeepsItsSize) {
    RECT before{};
    ASSERT_TRUE(GetWindowRect(hwnd_, &before));
    SetWindowPos(hwnd_, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    WaitIdle();
    RECT after{};
    ASSERT_TRUE(GetWindowRect(hwnd_, &after));
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    RECT client{};
    GetClientRect(hwnd_, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
}

TEST_F(GdiWindowTest, RowsGoFromTheFramebufferInOneTransferPerPass) {
    const win32::GdiCounters before = win32::ReadGdiCounters();
    LockScreen();
    Print("\r\n\r\nZeile drei");  // text row 3: pixel rows 32..47
    UnlockScreen(1, 0);
    WaitIdle();
    const win32::GdiCounters after = win32::ReadGdiCounters();
    EXPECT_EQ(after.transfers - before.transfers, 1u);
    EXPECT_EQ(after.rows - before.rows, 16u);
    EXPECT_TRUE(win32::ReadGdiCounters().fromFramebuffer);

    // Marks on the first and the last row: all 480 rows in one call.
    LockScreen();
    MarkRowsDirty(*CurrentScreen(), 0, 1);
    MarkRowsDirty(*CurrentScreen(), 479, 480);
    UnlockScreen(1, 0);
    WaitIdle();
    const win32::GdiCounters all = win32::ReadGdiCounters();
    EXPECT_EQ(all.transfers - after.transfers, 1u);
    EXPECT_EQ(all.rows - after.rows, 480u);
    EXPECT_TRUE(PictureMatches());
}

TEST_F(GdiWindowTest, ThePictureIsTheFramebufferThroughThePalette) {
    LockScreen();
    Print("Berechnung der farbtongleichen Wellenl\x84nge\r\n");
    // Every colour index once, in bands of 2 pixel rows from row 100 on.
    ScreenState& s = *CurrentScreen();
    for (int y = 100; y < 356; ++y) std::memset(s.framebuffer + y * s.pitch, y - 100, s.pitch);
    MarkRowsDirty(s, 100, 356);
    UnlockScreen(1, 0);
    EXPECT_TRUE(PictureMatches());
}

TEST_F(GdiWindowTest, APaletteChangeShowsOnTheWholeScreen) {
    LockScreen();
    Print("Farbe");
    UnlockScreen(1, 0);
    ASSERT_TRUE(PictureMatches());
    const win32::GdiCounters before = win32::ReadGdiCounters();
    LockScreen();
    ScreenState& s = *CurrentScreen();
    s.devicePalette[15] = 0x0000FF00;  // green text
    s.driver->setPalette(15, 0, 255, 0);
    UnlockScreen(1, 0);
    EXPECT_TRUE(PictureMatches());
    const win32::GdiCounters after = win32::ReadGdiCounters();
    EXPECT_GE(after.colourTables - before.colourTables, 1u);
    EXPECT_GE(after.rows - before.rows, 480u);
}

TEST_F(GdiWindowTest, APaintShowsTheWholeFrame) {
    const win32::GdiCounters before = win32::ReadGdiCounters();
    InvalidateRect(hwnd_, nullptr, FALSE);
    WaitIdle();
    const win32::GdiCounters after = win32::ReadGdiCounters();
    EXPECT_GE(after.paints - before.paints, 1u);
    EXPECT_GE(after.rows - before.rows, 480u);
    EXPECT_TRUE(PictureMatches());
}

struct PostedKey {
    const char* name;
    UINT message;
    WPARAM key;
    LPARAM bits;
    std::string text;  // the key buffer read as text
};

class GdiKeyTest : public GdiWindowTest, public ::testing::WithParamInterface<PostedKey> {};

TEST_P(GdiKeyTest, WindowMessagesGiveExactCodes) {
    const PostedKey& k = GetParam();
    ASSERT_TRUE(PostMessageA(hwnd_, k.message, k.key, k.bits));
    WaitIdle();
    // A final "x" proves that the message before it (and the character
    // messages the pump made from it) were handled.
    ASSERT_TRUE(PostMessageA(hwnd_, WM_CHAR, 'x', KeyBits(0x2D, false)));
    EXPECT_EQ(KeysAsText(), k.text + "x");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GdiKeyTest,
    ::testing::Values(PostedKey{"F1", WM_KEYDOWN, VK_F1, KeyBits(0x3B, false), "\xFF\x3B"},
                      PostedKey{"F12", WM_KEYDOWN, VK_F12, KeyBits(0x58, false), "\xFF\x86"},
                      PostedKey{"CursorUp", WM_KEYDOWN, VK_UP, KeyBits(0x48, true), "\xFF\x48"},
                      PostedKey{"CursorLeft", WM_KEYDOWN, VK_LEFT, KeyBits(0x4B, true), "\xFF\x4B"},
                      PostedKey{"Delete", WM_KEYDOWN, VK_DELETE, KeyBits(0x53, true), "\xFF\x53"},
                      // A key with a character posts nothing itself: the character comes once,
                      // through the WM_CHAR that the pump makes of the key message.
                      PostedKey{"KeypadEnter", WM_KEYDOWN, VK_RETURN, KeyBits(0x1C, true), "\r"},
                      PostedKey{"LetterKey", WM_KEYDOWN, 'A', KeyBits(0x1E, false), "a"},
                      PostedKey{"LetterA", WM_CHAR, 'a', KeyBits(0x1E, false), "a"},
                      // The Windows-1252 a-umlaut becomes the code page 437 byte 132.
                      PostedKey{"AUmlaut", WM_CHAR, 0xE4, KeyBits(0x28, false), "\x84"},
                      PostedKey{"WideCharacterIgnored", WM_CHAR, 0x263A, KeyBits(0, false), ""},
                      PostedKey{"F10", WM_SYSKEYDOWN, VK_F10, KeyBits(0x44, false), ""},
                      PostedKey{"AltAlone", WM_SYSKEYDOWN, VK_MENU, KeyBits(0x38, false, true), ""},
                      PostedKey{"KeyRelease", WM_KEYUP, VK_F1, KeyBits(0x3B, false, false, true),
                                ""},
                      PostedKey{"CloseButton", WM_CLOSE, 0, 0, "\xFF\x6B"}),
    [](const ::testing::TestParamInfo<PostedKey>& info) { return info.param.name; });

TEST_F(GdiWindowTest, RepeatedKeyPostsItsCodeForEachRepeat) {
    const LPARAM threeTimes = (KeyBits(0x50, true) & ~LPARAM{0xFFFF}) | 3 | (LPARAM{1} << 30);
    ASSERT_TRUE(PostMessageA(hwnd_, WM_KEYDOWN, VK_DOWN, threeTimes));
    EXPECT_EQ(KeysAsText(), "\xFF\x50\xFF\x50\xFF\x50");
    bool repeatEvent = false;
    for (const WindowEvent& e : Events()) {
        if (e.kind == kEventKeyRepeat && e.field[0] == 80) repeatEvent = true;
    }
    EXPECT_TRUE(repeatEvent);
}

TEST_F(GdiWindowTest, TheCloseButtonLeavesTheWindowOpen) {
    SendMessageA(hwnd_, WM_CLOSE, 0, 0);
    EXPECT_EQ(KeysAsText(), "\xFF\x6B");
    EXPECT_TRUE(IsWindow(hwnd_));
    bool closeEvent = false;
    for (const WindowEvent& e : Events()) closeEvent = closeEvent || e.kind == kEventClose;
    EXPECT_TRUE(closeEvent);
}

TEST_F(GdiWindowTest, ButtonsCaptureThePointerAndRecordEvents) {
    SendMessageA(hwnd_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 20));
    LockScreen();
    EXPECT_EQ(WindowThread().mouse.buttons, host::kButtonRight);
    UnlockScreen(1, 0);
    SendMessageA(hwnd_, WM_RBUTTONUP, 0, MAKELPARAM(10, 20));
    LockScreen();
    EXPECT_EQ(WindowThread().mouse.buttons, 0);
    UnlockScreen(1, 0);
    std::vector<int32_t> kinds;
    for (const WindowEvent& e : Events()) {
        if (e.kind == kEventButtonPress || e.kind == kEventButtonRelease) {
            kinds.push_back(e.kind);
            EXPECT_EQ(e.field[0], host::kButtonRight);
        }
    }
    EXPECT_EQ(kinds, (std::vector<int32_t>{kEventButtonPress, kEventButtonRelease}));
}

TEST_F(GdiWindowTest, DeactivationClearsKeyStatesAndButtons) {
    LockScreen();
    CurrentScreen()->keyStates[30] = 1;
    WindowThread().mouse.buttons = host::kButtonLeft;
    UnlockScreen(1, 0);
    SendMessageA(hwnd_, WM_ACTIVATE, WA_INACTIVE, 0);
    LockScreen();
    EXPECT_FALSE(WindowThread().window.active);
    EXPECT_EQ(CurrentScreen()->keyStates[30], 0);
    EXPECT_EQ(WindowThread().mouse.buttons, 0);
    UnlockScreen(1, 0);
    SendMessageA(hwnd_, WM_ACTIVATE, WA_ACTIVE, 0);
    LockScreen();
    EXPECT_TRUE(WindowThread().window.active);
    UnlockScreen(1, 0);
}

TEST_F(GdiWindowTest, AltEnterSwitchesAndShowsEverythingAgain) {
    LockScreen();
    Print("Vollbild");
    UnlockScreen(1, 0);
    WaitIdle();
    const win32::GdiCounters before = win32::ReadGdiCounters();
    ASSERT_TRUE(PostMessageA(hwnd_, WM_SYSKEYDOWN, VK_RETURN, KeyBits(0x1C, false, true)));
    WaitIdle();
    // The window is made again, full screen when the display takes the mode
    // and as it was otherwise; either way the palette and the whole frame are
    // shown again.
    hwnd_ = TheWindowHandle();
    ASSERT_NE(hwnd_, nullptr);
    const win32::GdiCounters after = win32::ReadGdiCounters();
    EXPECT_GE(after.colourTables - before.colourTables, 1u);
    EXPECT_GE(after.rows - before.rows, 480u);
    RECT client{};
    GetClientRect(hwnd_, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_TRUE(PictureMatches());
    EXPECT_EQ(KeysAsText(), "");  // the switch types nothing
}

// The pointer entering and leaving the client area, as the system reports it
// (TrackMouseEvent), or as the 100 ms timer finds it where that is missing.
class GdiPointerTest : public GdiWindowLifeTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) win32::UseLeaveTimerForNextHost();
        GdiWindowLifeTest::SetUp();
    }
};

TEST_P(GdiPointerTest, EnteringAndLeavingAreRecorded) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    SetCursorPos(client.left + 100, client.top + 100);
    Sleep(100);
    SetCursorPos(client.left + 120, client.top + 110);
    WaitIdle();
    LockScreen();
    EXPECT_TRUE(WindowThread().mouse.tracked);
    UnlockScreen(1, 0);
    SetCursorPos(client.right + 50, client.bottom + 50);  // outside the window
    Sleep(400);
    WaitIdle();
    std::vector<int32_t> kinds;
    for (const WindowEvent& e : Events()) {
        if (e.kind == kEventMouseEnter || e.kind == kEventMouseExit) kinds.push_back(e.kind);
    }
    EXPECT_EQ(kinds, (std::vector<int32_t>{kEventMouseEnter, kEventMouseExit}));
    LockScreen();
    EXPECT_FALSE(WindowThread().mouse.tracked);
    UnlockScreen(1, 0);
}

INSTANTIATE_TEST_SUITE_P(LeaveReports, GdiPointerTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Timer" : "TrackMouseEvent";
                         });

TEST_F(GdiWindowLifeTest, TheSystemBeepServesWhileTheWindowIsOpen) {
    const textio::BeepService service = textio::SetBeepService(nullptr);
    EXPECT_NE(service, nullptr);
    textio::SetBeepService(service);
    CloseScreen();
    EXPECT_EQ(textio::SetBeepService(nullptr), nullptr);
}

TEST_F(GdiWindowLifeTest, StopDestroysTheWindowAndItsClass) {
    const win32::WindowFacts facts = win32::LastWindowFacts();
    CloseScreen();
    EXPECT_FALSE(IsWindow(hwnd_));
    WNDCLASSA windowClass{};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), facts.className, &windowClass));
}

TEST_F(GdiWindowLifeTest, StopWhileTheDrawingThreadHoldsTheLock) {
    LockScreen();
    LockScreen();
    CloseScreen();
    EXPECT_EQ(CurrentScreen(), nullptr);
    EXPECT_FALSE(IsWindow(hwnd_));
}

}  // namespace
}  // namespace gfxwin
