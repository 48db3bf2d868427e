// The window on a real X server: a private Xvfb, real key and pointer events
// from xdotool, and the picture read back with xwd.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gfxwin/console/key_mouse_hooks.h"
#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/keys/key_translation.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/screen_setup.h"
#include "gfxwin/text/text_console.h"
#include "gfxwin/text/text_engine.h"
#include "gfxwin/window/window.h"
#include "gfxwin/window/window_proc.h"
#include "gfxwin/window/x11/x11_host.h"
#include "support/child_process.h"
#include "support/screen_dump.h"
#include "support/x11/xvfb.h"
#include "tests/gfxwin/window/window_test_support.h"
#include "textio/print.h"

namespace gfxwin {
namespace {

using namespace std::chrono_literals;
using gfxwin::testing::ScopedEnv;

std::string ProgramTitle() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    return TitleFromPath(n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string());
}

class X11WindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { StartServer(1024, 768, false); }
    static void TearDownTestSuite() {
        windowManager_.reset();
        server_.reset();
    }

    // A private server with a screen of width x height, with openbox on it
    // when `windowManager` is set.
    static void StartServer(int width, int height, bool windowManager) {
        skipReason_.clear();
        server_ = std::make_unique<x11test::XvfbServer>();
        if (!server_->Start(width, height)) {
            skipReason_ = server_->error();
            server_.reset();
            return;
        }
        if (!x11test::HaveProgram("xdotool") || !x11test::HaveProgram("xwininfo") ||
            !x11test::HaveProgram("xwd") || !x11test::HaveProgram("xprop")) {
            skipReason_ = "xdotool, xwininfo, xwd or xprop is not installed";
            return;
        }
        if (windowManager) {
            windowManager_ = std::make_unique<x11test::WindowManager>();
            if (!windowManager_->Start(server_->display())) skipReason_ = windowManager_->error();
        }
    }

    void SetUp() override {
        if (server_ == nullptr || !skipReason_.empty()) GTEST_SKIP() << skipReason_;
        testing::ResetScreenWorld();
        ResetKeyBufferForTest();
        display_.emplace("DISPLAY", server_->display());
        driver_.emplace("KRGFX", "x11");
        // The window at its plain size, whatever the test's environment says.
        wlScale_.emplace("WL_SCALE", std::nullopt);
        gdkScale_.emplace("GDK_SCALE", std::nullopt);
        ASSERT_NO_FATAL_FAILURE(Open());
    }

    // Opens the screen in its window and waits until the window shows it.
    void Open() {
        ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
        ASSERT_STREQ(CurrentScreen()->driver->name, "X11");
        window_ = x11test::FindWindow(server_->display(), ProgramTitle());
        ASSERT_NE(window_, 0u) << "no window titled " << ProgramTitle();
        WaitIdle();
    }

    void Reopen() {
        CloseScreen();
        ASSERT_NO_FATAL_FAILURE(Open());
    }

    void TearDown() override {
        if (server_ == nullptr || !skipReason_.empty()) return;
        testing::DumpScreenIfFailed();
        testing::ResetScreenWorld();
        ResetKeyBufferForTest();
        driver_.reset();
        display_.reset();
        wlScale_.reset();
        gdkScale_.reset();
    }

    const std::string& Display() const { return server_->display(); }

    x11test::ToolResult Tool(const std::vector<std::string>& argv) {
        return x11test::RunTool(argv, Display());
    }

    static void WaitIdle() { testing::WaitIdle(); }
    static std::string KeysAsText(int quietMs = 150) { return testing::KeysAsText(quietMs); }
    static std::vector<WindowEvent> Events() { return testing::RecordedEvents(); }

    // Moves the pointer to window pixel (x, y) and reads it back as the
    // program does: "code: x,y".
    std::string PointerSeenAt(int x, int y) {
        if (!x11test::MovePointer(Display(), window_, x, y)) return "not moved";
        WaitIdle();
        int32_t px = -5, py = -5;
        const int32_t code = ReadMouse(&px, &py, nullptr, nullptr, nullptr);
        return std::to_string(code) + ": " + std::to_string(px) + "," + std::to_string(py);
    }

    // Every pixel of the window equals the framebuffer through the device
    // palette, with the picture at (dx, dy).
    ::testing::AssertionResult PictureMatches(int dx = 0, int dy = 0) {
        WaitIdle();
        x11test::Screenshot shot;
        std::string error;
        if (!x11test::TakeScreenshot(Display(), window_, &shot, &error)) {
            return ::testing::AssertionFailure() << error;
        }
        return testing::FramebufferShown([&](int x, int y) { return shot.At(x + dx, y + dy); });
    }

    // Waits (at most 5 s) until the window is width x height and shows the
    // framebuffer centred, each pixel as a k x k block, and black everywhere
    // else; the failure names what was seen last.
    ::testing::AssertionResult ShowsThePictureOnBlack(int width, int height, int k = 1) {
        std::string last;
        x11test::Screenshot shot;
        for (const auto deadline = std::chrono::steady_clock::now() + 5s;;) {
            WaitIdle();
            std::string error;
            if (!x11test::TakeScreenshot(Display(), window_, &shot, &error)) {
                last = error;
            } else if (shot.width != width || shot.height != height) {
                last = "the window is " + std::to_string(shot.width) + "x" +
                       std::to_string(shot.height);
            } else {
                last = PictureOnBlackDifference(shot, k);
                if (last.empty()) return ::testing::AssertionSuccess();
            }
            if (std::chrono::steady_clock::now() >= deadline) break;
        }
        return ::testing::AssertionFailure() << last;
    }

    static std::string PictureOnBlackDifference(const x11test::Screenshot& shot, int k) {
        const int dx = (shot.width - 640 * k) / 2, dy = (shot.height - 480 * k) / 2;
        const ::testing::AssertionResult picture =
            testing::FramebufferShown([&](int x, int y) -> uint32_t {
                const uint32_t pixel = shot.At(dx + x * k, dy + y * k);
                for (int j = 0; j < k; ++j) {
                    for (int i = 0; i < k; ++i) {
                        if (shot.At(dx + x * k + i, dy + y * k + j) != pixel) return 0xFFFFFFFF;
                    }
                }
                return pixel;
            });
        if (!picture) return picture.message();
        int lit = 0;
        std::string first;
        for (int y = 0; y < shot.height; ++y) {
            for (int x = 0; x < shot.width; ++x) {
                const bool inPicture = x >= dx && x < dx + 640 * k && y >= dy && y < dy + 480 * k;
                if (!inPicture && shot.At(x, y) != 0 && lit++ == 0) {
                    first = "(" + std::to_string(x) + "," + std::to_string(y) + ")";
                }
            }
        }
        if (lit == 0) return {};
        return std::to_string(lit) + " pixels outside the picture are not black, the first at " +
               first;
    }

    static std::unique_ptr<x11test::XvfbServer> server_;
    static std::unique_ptr<x11test::WindowManager> windowManager_;
    static std::string skipReason_;
    std::optional<ScopedEnv> display_, driver_, wlScale_, gdkScale_;
    unsigned long window_ = 0;
};

std::unique_ptr<x11test::XvfbServer> X11WindowTest::server_;
std::unique_ptr<x11test::WindowManager> X11WindowTest::windowManager_;
std::string X11WindowTest::skipReason_;

TEST_F(X11WindowTest, WindowIsCentredFixed640x480AndTitled) {
    x11test::WindowInfo info;
    ASSERT_TRUE(x11test::QueryWindow(Display(), window_, &info));
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.height, 480);
    EXPECT_EQ(info.x, (1024 - 640) / 2);
    EXPECT_EQ(info.y, (768 - 480) / 2);
    EXPECT_NE(
        x11test::WindowProperty(Display(), window_, "WM_NAME").find('"' + ProgramTitle() + '"'),
        std::string::npos);
    const std::string hints = x11test::WindowProperty(Display(), window_, "WM_NORMAL_HINTS");
    EXPECT_NE(hints.find("minimum size: 640 by 480"), std::string::npos) << hints;
    EXPECT_NE(hints.find("maximum size: 640 by 480"), std::string::npos) << hints;
    EXPECT_NE(x11test::WindowProperty(Display(), window_, "WM_PROTOCOLS").find("WM_DELETE_WINDOW"),
              std::string::npos);
}

struct KeyCase {
    const char* name;
    std::vector<std::string> keys;        // xdotool key arguments
    std::string text;                     // the key buffer read as text
    const char* missingKeysym = nullptr;  // put into the keymap first
};

class X11KeyTest : public X11WindowTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(X11KeyTest, RealKeysGiveExactCodes) {
    std::optional<x11test::KeysymOnSpareKeycode> binding;
    if (GetParam().missingKeysym != nullptr) {
        binding.emplace(Display(), GetParam().missingKeysym);
        ASSERT_TRUE(binding->ok()) << "no spare keycode for " << GetParam().missingKeysym;
    }
    std::vector<std::string> argv{"xdotool", "key", "--delay", "20"};
    argv.insert(argv.end(), GetParam().keys.begin(), GetParam().keys.end());
    // A final "x" proves that the keys before it were handled.
    argv.push_back("x");
    ASSERT_EQ(Tool(argv).status, 0);
    EXPECT_EQ(KeysAsText(), GetParam().text + "x");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, X11KeyTest,
    ::testing::Values(
        KeyCase{"LetterA", {"a"}, "a"}, KeyCase{"Left", {"Left"}, std::string("\xFF\x4B", 2)},
        KeyCase{"F1", {"F1"}, std::string("\xFF\x3B", 2)},
        KeyCase{"ShiftF1", {"shift+F1"}, std::string("\xFF\x54", 2)},
        KeyCase{"Up", {"Up"}, std::string("\xFF\x48", 2)},
        KeyCase{"Delete", {"Delete"}, std::string("\xFF\x53", 2)},
        KeyCase{"CtrlUp", {"ctrl+Up"}, std::string("\xFF\x8D", 2)},
        KeyCase{"AUmlaut", {"adiaeresis"}, std::string("\x84", 1), "adiaeresis"},
        KeyCase{"AltAGivesNothing", {"alt+a"}, ""}, KeyCase{"AltF4GivesNothing", {"alt+F4"}, ""},
        KeyCase{"F10GivesNothing", {"F10"}, ""},
        KeyCase{"CtrlA", {"ctrl+a"}, std::string("\x01", 1)}, KeyCase{"ShiftA", {"shift+a"}, "A"},
        KeyCase{"EnterAndBackspace", {"Return", "BackSpace"}, "\r\b"},
        KeyCase{"KeypadEnter", {"KP_Enter"}, "\r"},
        KeyCase{"Keypad8WithoutNumLock", {"KP_Up"}, std::string("\xFF\x48", 2)},
        KeyCase{"EuroSignIsNotInCodePage437", {"EuroSign"}, "?", "EuroSign"}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(X11WindowTest, NumLockTurnsTheKeypadIntoDigits) {
    ASSERT_EQ(
        Tool({"xdotool", "key", "--delay", "20", "Num_Lock", "KP_8", "KP_4", "Num_Lock", "KP_Left"})
            .status,
        0);
    EXPECT_EQ(KeysAsText(), std::string("84\xFF\x4B", 4));
}

TEST_F(X11WindowTest, CloseButtonPostsTheCloseCodeOnceAndTheWindowStays) {
    ASSERT_TRUE(x11test::SendCloseRequest(Display(), window_));
    EXPECT_EQ(KeysAsText(), std::string("\xFFk", 2));
    bool closeEvent = false;
    for (const WindowEvent& e : Events()) closeEvent = closeEvent || e.kind == kEventClose;
    EXPECT_TRUE(closeEvent);
    EXPECT_EQ(x11test::FindWindow(Display(), ProgramTitle()), window_);
}

TEST_F(X11WindowTest, HeldKeyRepeatsWithRepeatEvents) {
    ASSERT_EQ(Tool({"xdotool", "keydown", "Left", "sleep", "0.8", "keyup", "Left"}).status, 0);
    const std::string text = KeysAsText();
    ASSERT_GE(text.size(), 6u) << "expected at least three Left codes";
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        EXPECT_EQ(text.substr(i, 2), std::string("\xFF\x4B", 2));
    }
    int presses = 0, repeats = 0, releases = 0;
    for (const WindowEvent& e : Events()) {
        presses += e.kind == kEventKeyPress;
        repeats += e.kind == kEventKeyRepeat;
        releases += e.kind == kEventKeyRelease;
    }
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(repeats, static_cast<int>(text.size() / 2) - 1);
    EXPECT_EQ(releases, 1);
}

TEST_F(X11WindowTest, KeyStatesFollowHeldKeysAndFocusLossClearsThem) {
    ASSERT_EQ(Tool({"xdotool", "keydown", "shift"}).status, 0);
    WaitIdle();
    EXPECT_EQ(KeyDownByScanCode(42), -1);
    EXPECT_EQ(KeyDownByScanCode(30), 0);
    // Focus to the root window: the window is no longer active.
    const x11test::ToolResult root = Tool({"xwininfo", "-root"});
    const size_t at = root.out.find("Window id: ");
    ASSERT_NE(at, std::string::npos);
    const std::string rootId = root.out.substr(at + 11, root.out.find(' ', at + 11) - at - 11);
    ASSERT_EQ(Tool({"xdotool", "windowfocus", rootId}).status, 0);
    WaitIdle();
    EXPECT_EQ(KeyDownByScanCode(42), 0);
    bool lost = false;
    for (const WindowEvent& e : Events()) lost = lost || e.kind == kEventFocusLost;
    EXPECT_TRUE(lost);
    ASSERT_EQ(Tool({"xdotool", "keyup", "shift"}).status, 0);
    char id[32];
    std::snprintf(id, sizeof id, "%lu", window_);
    ASSERT_EQ(Tool({"xdotool", "windowfocus", id}).status, 0);
}

TEST_F(X11WindowTest, PresentedPixelsEqualTheFramebufferThroughThePalette) {
    textio::PrintTerminatedText(0, "Berechnung der farbtongleichen Wellenl\x84nge",
                                textio::kMaskLineEnd);
    SetColours(14, 1, 0);
    textio::PrintTerminatedText(0, "Farbwertanteil x = ? 0.3127", textio::kMaskLineEnd);
    EXPECT_TRUE(PictureMatches());
}

TEST_F(X11WindowTest, TheBellByteRingsTheDisplaysBell) {
    x11test::BellCounter bells(Display());
    ASSERT_TRUE(bells.ok());
    textio::PrintTerminatedText(0, "\a", textio::kMaskNone);
    WaitIdle();
    EXPECT_EQ(bells.Count(), 1);
}

TEST_F(X11WindowTest, APrintCopiesOnlyItsDirtyRows) {
    const PresentationStats before = ReadPresentationStats();
    Locate(6, 1, 0);  // pixel rows 80..95
    textio::PrintTerminatedText(0, "Hallo", textio::kMaskNone);
    WaitIdle();
    const PresentationStats after = ReadPresentationStats();
    EXPECT_EQ(after.transfers - before.transfers, 1u);
    EXPECT_EQ(after.rowsShown - before.rowsShown, 16u);
    EXPECT_TRUE(PictureMatches());
}

TEST_F(X11WindowTest, SharedMemoryIsUsedAndPlainTransfersGiveTheSamePicture) {
    EXPECT_TRUE(x11::LastWindowUsedSharedMemory());
    CloseScreen();
    x11::DisableSharedMemoryForNextWindow();
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    EXPECT_FALSE(x11::LastWindowUsedSharedMemory());
    window_ = x11test::FindWindow(Display(), ProgramTitle());
    ASSERT_NE(window_, 0u);
    textio::PrintTerminatedText(0, "ohne gemeinsamen Speicher", textio::kMaskLineEnd);
    EXPECT_TRUE(PictureMatches());
}

TEST_F(X11WindowTest, AltEnterShowsThePictureCentredOnBlackAndBack) {
    textio::PrintTerminatedText(0, "Vollbild", textio::kMaskLineEnd);
    ASSERT_EQ(Tool({"xdotool", "key", "alt+Return"}).status, 0);
    ASSERT_TRUE(ShowsThePictureOnBlack(1024, 768));
    EXPECT_EQ(KeysAsText(50), "");

    // The pointer is reported in picture coordinates; the black margin is
    // outside the picture.
    EXPECT_EQ(PointerSeenAt(192 + 100, 144 + 50), "0: 100,50");
    EXPECT_EQ(PointerSeenAt(10, 10), "1: -1,-1");

    ASSERT_EQ(Tool({"xdotool", "key", "alt+Return"}).status, 0);
    EXPECT_TRUE(ShowsThePictureOnBlack(640, 480));
    x11test::WindowInfo info;
    ASSERT_TRUE(x11test::QueryWindow(Display(), window_, &info));
    EXPECT_EQ(info.x, (1024 - 640) / 2);
}

TEST_F(X11WindowTest, PointerButtonsAndWheelReachTheMouseState) {
    ASSERT_TRUE(x11test::MovePointer(Display(), window_, 100, 50));
    WaitIdle();
    int32_t x = -5, y = -5, wheel = -5, buttons = -5, clip = -5;
    ASSERT_EQ(ReadMouse(&x, &y, &wheel, &buttons, &clip), 0);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    EXPECT_EQ(wheel, 0);
    EXPECT_EQ(buttons, 0);
    EXPECT_EQ(clip, 0);

    ASSERT_EQ(Tool({"xdotool", "mousedown", "3"}).status, 0);
    WaitIdle();
    ASSERT_EQ(ReadMouse(&x, &y, &wheel, &buttons, nullptr), 0);
    EXPECT_EQ(buttons, 2);  // right
    ASSERT_EQ(Tool({"xdotool", "mouseup", "3", "click", "4", "click", "4", "click", "5"}).status,
              0);
    WaitIdle();
    ASSERT_EQ(ReadMouse(&x, &y, &wheel, &buttons, nullptr), 0);
    EXPECT_EQ(buttons, 0);
    EXPECT_EQ(wheel, 1);

    std::vector<int32_t> kinds;
    for (const WindowEvent& e : Events()) kinds.push_back(e.kind);
    auto count = [&](int32_t kind) { return std::count(kinds.begin(), kinds.end(), kind); };
    EXPECT_EQ(count(kEventButtonPress), 1);
    EXPECT_EQ(count(kEventButtonRelease), 1);
    EXPECT_EQ(count(kEventWheel), 3);

    EXPECT_EQ(PointerSeenAt(700, 50), "1: -1,-1");  // outside
}

TEST_F(X11WindowTest, SetMouseMovesThePointerInTheWindow) {
    EXPECT_EQ(SetMousePointer(320, 200, -1, -1), 0);
    WaitIdle();
    const x11test::ToolResult r = Tool({"xdotool", "getmouselocation"});
    EXPECT_NE(r.out.find("x:" + std::to_string(192 + 320) + " y:" + std::to_string(144 + 200)),
              std::string::npos)
        << r.out;
}

TEST_F(X11WindowTest, WindowStopWhileTheDrawingThreadHoldsTheLock) {
    LockScreen();
    LockScreen();
    CloseScreen();  // stops the window with the lock held twice
    EXPECT_EQ(CurrentScreen(), nullptr);
    EXPECT_EQ(x11test::FindWindow(Display(), ProgramTitle()), 0u);
}

// The window under a window manager (openbox), which frames it and carries
// out the full-screen and maximise requests itself, on a 1920x1080 screen: the
// full-screen picture is shown twice its size.
class X11WindowManagerTest : public X11WindowTest {
  protected:
    static void SetUpTestSuite() { StartServer(1920, 1080, true); }

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(X11WindowTest::SetUp());
        textio::PrintTerminatedText(0, "Vollbild unter einem Fenstermanager", textio::kMaskLineEnd);
        ASSERT_TRUE(ShowsThePictureOnBlack(640, 480));
    }

    void AltEnter() { ASSERT_EQ(Tool({"xdotool", "key", "alt+Return"}).status, 0); }
};

TEST_F(X11WindowManagerTest, AltEnterTogglesFullScreenWithNothingStaleAround) {
    AltEnter();
    EXPECT_TRUE(ShowsThePictureOnBlack(1920, 1080, 2));
    AltEnter();
    EXPECT_TRUE(ShowsThePictureOnBlack(640, 480));
}

// A window of fixed size gets no maximise button from openbox (nor from the
// other common window managers); one that maximises it sets the maximised
// state on the window, as done here.
TEST_F(X11WindowManagerTest, MaximisingTheWindowTogglesFullScreen) {
    ASSERT_TRUE(x11test::SetWindowState(
        Display(), window_, {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"}));
    EXPECT_TRUE(ShowsThePictureOnBlack(1920, 1080, 2));
    AltEnter();
    EXPECT_TRUE(ShowsThePictureOnBlack(640, 480));
}

// The windowed scale: GDK_SCALE, else the server's Xft.dpi; WL_SCALE before
// both, and only the desktop's scale is limited to the screen. The size hints
// keep the window at its scaled size.
TEST_F(X11WindowManagerTest, WindowedScaleFromGdkScaleOrXftDpiAndWlScaleFirst) {
    const ScopedEnv gdk("GDK_SCALE", "2");
    ASSERT_NO_FATAL_FAILURE(Reopen());
    EXPECT_TRUE(ShowsThePictureOnBlack(1280, 960, 2));
    const std::string hints = x11test::WindowProperty(Display(), window_, "WM_NORMAL_HINTS");
    EXPECT_NE(hints.find("maximum size: 1280 by 960"), std::string::npos) << hints;

    testsupport::TempDir dir;
    { std::ofstream(dir.File("resources")) << "Xft.dpi: 192\n"; }
    ASSERT_EQ(Tool({"xrdb", "-nocpp", "-merge", dir.File("resources")}).status, 0);
    struct Unload {
        std::string display;
        ~Unload() { x11test::RunTool({"xrdb", "-remove"}, display); }
    } unload{Display()};
    const ScopedEnv noGdk("GDK_SCALE", std::nullopt);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    EXPECT_TRUE(ShowsThePictureOnBlack(1280, 960, 2));

    const ScopedEnv gdkAgain("GDK_SCALE", "2"), wl("WL_SCALE", "1");
    ASSERT_NO_FATAL_FAILURE(Reopen());
    EXPECT_TRUE(ShowsThePictureOnBlack(640, 480));

    // 3 x 480 is more than the screen's 1080 rows: the desktop's scale is
    // lowered to the 2 that fits.
    const ScopedEnv gdkLarge("GDK_SCALE", "3"), noWl("WL_SCALE", std::nullopt);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    EXPECT_TRUE(ShowsThePictureOnBlack(1280, 960, 2));
}

// At scale 2 the pointer is reported in picture coordinates, moves in picture
// pixels, and is set in picture coordinates.
TEST_F(X11WindowManagerTest, PointerInPictureCoordinatesAtScale2) {
    const ScopedEnv wl("WL_SCALE", "2");
    ASSERT_NO_FATAL_FAILURE(Reopen());
    EXPECT_EQ(PointerSeenAt(201, 101), "0: 100,50");
    // Four window pixels to the right are two picture pixels of movement.
    ASSERT_TRUE(x11test::MovePointer(Display(), window_, 205, 101));
    WaitIdle();
    std::vector<WindowEvent> moves;
    for (const WindowEvent& e : Events()) {
        if (e.kind == kEventMouseMove) moves.push_back(e);
    }
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back().field[0], 102);
    EXPECT_EQ(moves.back().field[2], 2);
    EXPECT_EQ(moves.back().field[3], 0);

    x11test::WindowInfo info;
    ASSERT_TRUE(x11test::QueryWindow(Display(), window_, &info));
    EXPECT_EQ(SetMousePointer(320, 200, -1, -1), 0);
    WaitIdle();
    const x11test::ToolResult r = Tool({"xdotool", "getmouselocation"});
    EXPECT_NE(
        r.out.find("x:" + std::to_string(info.x + 641) + " y:" + std::to_string(info.y + 401)),
        std::string::npos)
        << r.out;
}

// The program itself, as a child process.
class X11ProgramTest : public ::testing::Test {};

// Without a display the program runs in the terminal without a word. A
// display that is named but cannot be reached gets one line that says why;
// so does a driver named by KRGFX that cannot start, with the driver's reason.
TEST_F(X11ProgramTest, WithoutAWindowTheTerminalRunsAndAWindowExpectedIsSaid) {
    const struct {
        const char* display;
        const char* driver;
        const char* err;
    } cases[] = {
        {"", "", ""},
        {":4321", "",
         "wellenlaenge: kein Fenster, weiter im Terminal (Anzeige \":4321\" nicht erreichbar)\n"},
        {"", "x11",
         "wellenlaenge: KRGFX=x11: Fenstertreiber startet nicht (keine Anzeige: DISPLAY ist nicht "
         "gesetzt)\n"},
        {":4321", "x11",
         "wellenlaenge: KRGFX=x11: Fenstertreiber startet nicht (Anzeige \":4321\" nicht "
         "erreichbar)\n"},
    };
    for (const auto& c : cases) {
        testsupport::TempDir dir;
        testsupport::ChildOptions options;
        options.workingDirectory = dir.path();
        options.input = "0.3127\n0.329\n\n\n";
        options.environment = {{"DISPLAY", c.display}, {"KRGFX", c.driver}, {"LC_ALL", "C"}};
        const testsupport::ChildResult r = testsupport::RunChild({WL_PROGRAM_PATH}, options);
        ASSERT_TRUE(r.started);
        EXPECT_EQ(r.exitStatus, 0) << "DISPLAY=" << c.display << " KRGFX=" << c.driver;
        EXPECT_EQ(r.err, c.err);
        EXPECT_NE(r.out.find("488.997"), std::string::npos) << r.out;
    }
}

TEST_F(X11ProgramTest, LostServerEndsTheProgramWithStatusOneAndWritesTheFile) {
    x11test::XvfbServer server;
    if (!server.Start()) GTEST_SKIP() << server.error();
    testsupport::TempDir dir;
    testsupport::ChildOptions options;
    options.workingDirectory = dir.path();
    options.keepInputOpen = true;
    options.environment["DISPLAY"] = server.display();
    options.environment["KRGFX"] = "x11";
    options.timeoutMs = 15000;

    testsupport::ChildResult result;
    std::thread child([&] { result = testsupport::RunChild({WL_PROGRAM_PATH}, options); });
    // Wait until the window is on the screen and the dialogue waits for x.
    unsigned long window = 0;
    for (int i = 0; i < 100; ++i) {
        std::this_thread::sleep_for(50ms);
        window = x11test::FindWindow(server.display(), "wellenlaenge");
        char id[32];
        std::snprintf(id, sizeof id, "0x%lx", window);
        if (window != 0 &&
            x11test::RunTool({"xwininfo", "-id", id}, server.display()).out.find("IsViewable") !=
                std::string::npos) {
            break;
        }
    }
    std::this_thread::sleep_for(300ms);
    server.Stop();
    child.join();
    ASSERT_NE(window, 0u) << "the program never showed its window";
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, std::string(kConnectionLostMessage) + "\n");
    bool exists = false;
    testsupport::ReadFileBytes(dir.File("wellenlaenge.txt"), &exists);
    EXPECT_TRUE(exists);
}

}  // namespace
}  // namespace gfxwin
