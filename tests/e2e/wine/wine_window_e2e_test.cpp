// The Windows program under Wine on a private Xvfb: real key events from
// xdotool reach the Win32 window as window messages, the dialogue runs in the
// window from end to end under each window driver (and on a 16-bit display),
// the picture read back with xwd is the expected rendering of the text rows,
// the DirectX driver takes its key states from DirectInput, and an OpenGL
// screen shows what was drawn through OpenGL.
//
// The Windows build is named by the environment variable WL_WINDOWS_BUILD
// (scripts/test-windows.sh sets it); WINEPREFIX may name a prefix made for
// the run, else the tests make their own. Without a Windows build, Wine,
// Xvfb or the X tools the tests are skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/posix/background_program.h"
#include "support/x11/dialogue_picture.h"
#include "support/x11/xvfb.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using namespace dialoguetest;

// Where the client area lies in a screenshot of the window: the whole of it,
// or inside a frame of equal width left, right and below.
Origin ClientOrigin(const x11test::Screenshot& shot) {
    const int dx = (shot.width - kClientWidth) / 2;
    return {dx, shot.height - kClientHeight - dx};
}

// Everything a suite shares: the build, Wine, one Xvfb of `Depth` bits and
// the given size, and a prefix.
template <int Depth, int Width = 1024, int Height = 768>
class WineFixture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const char* build = std::getenv("WL_WINDOWS_BUILD");
        if (build == nullptr || *build == '\0') {
            skipReason_ =
                "WL_WINDOWS_BUILD names no Windows build (scripts/test-windows.sh sets it)";
            return;
        }
        build_ = build;
        for (const char* tool : {"wine", "wineboot", "wineserver", "xdotool", "xwininfo", "xwd"}) {
            if (!x11test::HaveProgram(tool)) {
                skipReason_ = std::string(tool) + " is not installed";
                return;
            }
        }
        server_ = std::make_unique<x11test::XvfbServer>(Depth, Width, Height);
        if (!server_->Start()) {
            skipReason_ = server_->error();
            return;
        }
        const char* prefix = std::getenv("WINEPREFIX");
        if (prefix != nullptr && std::filesystem::exists(std::string(prefix) + "/system.reg")) {
            prefix_ = prefix;
        } else {
            ownPrefix_ = std::make_unique<testsupport::TempDir>();
            prefix_ = ownPrefix_->path() + "/prefix";
            // A new prefix is made without a display; the server must be gone
            // before a program with a display starts in it.
            testsupport::ChildOptions options;
            options.environment = {{"WINEPREFIX", prefix_}, {"WINEDEBUG", "-all"}, {"DISPLAY", ""}};
            options.timeoutMs = 180000;
            testsupport::RunChild({x11test::FindProgram("wineboot"), "-i"}, options);
            testsupport::RunChild({x11test::FindProgram("wineserver"), "-w"}, options);
        }
    }

    static void TearDownTestSuite() {
        if (!prefix_.empty()) {
            testsupport::ChildOptions options;
            options.environment = {{"WINEPREFIX", prefix_}};
            testsupport::RunChild({x11test::FindProgram("wineserver"), "-k"}, options);
            // Gone before the next suite starts one on its own display: the
            // server keeps what it learnt of this display (its modes).
            testsupport::RunChild({x11test::FindProgram("wineserver"), "-w"}, options);
        }
        server_.reset();
        ownPrefix_.reset();
        prefix_.clear();
    }

    void SetUp() override {
        if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
    }

    const std::string& Display() const { return server_->display(); }

    // Starts `exe` of the Windows build under Wine with "KRGFX" set to
    // `driver` (empty: unset), with its output in the test's folder, waits for
    // its window titled `title` and gives it the keyboard focus.
    void StartInWindow(testsupport::BackgroundProgram& program, const std::string& exe,
                       const std::string& title, unsigned long* window,
                       const std::string& driver = "",
                       const std::vector<std::string>& arguments = {}) {
        const std::vector<std::string> environment =
            testsupport::EnvironmentWith({{"WINEPREFIX", prefix_},
                                          {"WINEDEBUG", "-all"},
                                          {"DISPLAY", Display()},
                                          {"KRGFX", driver}});
        const std::string output = folder_.File("stdout.txt");
        std::vector<std::string> argv{x11test::FindProgram("wine"), build_ + "/" + exe};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(program.Start(argv, folder_.path(), environment, output, output));
        *window = WaitForWindow(title);
        ASSERT_NE(*window, 0u) << program.Output();
        Focus(*window);
    }

    // Waits for the window with this title; 0 when it did not come.
    unsigned long WaitForWindow(const std::string& title, std::chrono::seconds limit = 60s) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            if (unsigned long w = x11test::FindWindow(Display(), title)) return w;
            std::this_thread::sleep_for(100ms);
        }
        return 0;
    }

    bool WindowGone(const std::string& title, std::chrono::seconds limit = 15s) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            if (x11test::FindWindow(Display(), title) == 0) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    x11test::ToolResult Tool(const std::vector<std::string>& argv) {
        return x11test::RunTool(argv, Display());
    }

    void Focus(unsigned long window) {
        Tool({"xdotool", "windowfocus", "--sync", std::to_string(window)});
    }

    void Keys(const std::vector<std::string>& keys) {
        std::vector<std::string> argv{"xdotool", "key", "--delay", "40"};
        argv.insert(argv.end(), keys.begin(), keys.end());
        Tool(argv);
    }

    void Type(const std::string& text) { Tool({"xdotool", "type", "--delay", "40", text}); }

    // Holds a key (or Alt and a key) down for 150 ms, as a person does, and
    // lets it go.
    void Hold(const std::string& key, bool alt = false) {
        std::vector<std::string> argv{"xdotool"};
        if (alt) argv.insert(argv.end(), {"keydown", "alt"});
        argv.insert(argv.end(), {"keydown", key, "sleep", "0.15", "keyup", key});
        if (alt) argv.insert(argv.end(), {"keyup", "alt"});
        Tool(argv);
    }

    // What a probe wrote, its line ends (CR LF on Windows) as "\n".
    static std::string Lines(const testsupport::BackgroundProgram& program) {
        std::string out = program.Output();
        out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
        return out;
    }

    // Waits until the program's lines hold `text` after position `from`; the
    // position after it, or npos.
    static size_t WaitForOutput(const testsupport::BackgroundProgram& program,
                                const std::string& text, size_t from = 0,
                                std::chrono::seconds limit = 10s) {
        const auto end = Clock::now() + limit;
        do {
            const size_t at = Lines(program).find(text, from);
            if (at != std::string::npos) return at + text.size();
            std::this_thread::sleep_for(50ms);
        } while (Clock::now() < end);
        return std::string::npos;
    }

    // A window that has just got the focus may miss the first keys: presses a
    // key that types nothing until the program reports `seen`.
    ::testing::AssertionResult KeysArrive(const testsupport::BackgroundProgram& program,
                                          const std::string& seen) {
        for (int i = 0; i < 20; ++i) {
            Hold("shift");
            if (WaitForOutput(program, seen, 0, 1s) != std::string::npos) {
                return ::testing::AssertionSuccess();
            }
        }
        return ::testing::AssertionFailure() << "no key reached the window:\n" << program.Output();
    }

    // Polls screenshots until the top text rows show exactly `rows`.
    ::testing::AssertionResult WaitForScreen(unsigned long window,
                                             const std::vector<std::string>& rows,
                                             std::chrono::seconds limit = 20s) {
        const auto end = Clock::now() + limit;
        std::string last = "no screenshot";
        do {
            x11test::Screenshot shot;
            std::string error;
            if (x11test::TakeScreenshot(Display(), window, &shot, &error)) {
                last = PictureDifference(shot, ClientOrigin(shot), 0, rows);
                if (last.empty()) return ::testing::AssertionSuccess();
            } else {
                last = error;
            }
            std::this_thread::sleep_for(100ms);
        } while (Clock::now() < end);
        return ::testing::AssertionFailure() << "text rows not shown: " << last;
    }

    std::string ResultFile() const {
        return testsupport::ReadFileBytes(folder_.File("wellenlaenge.txt"));
    }

    // Waits until the result file holds `bytes` (it is written when closed).
    bool WaitForResultFile(const std::string& bytes, std::chrono::seconds limit = 10s) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            if (ResultFile() == bytes) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    // The whole dialogue in the window, typed with the line editor's keys,
    // under the driver "KRGFX" names (empty: the first of the list).
    void RunDialogue(const std::string& driver) {
        testsupport::BackgroundProgram program;
        unsigned long window = 0;
        ASSERT_NO_FATAL_FAILURE(
            StartInWindow(program, "wellenlaenge.exe", "wellenlaenge", &window, driver));
        x11test::WindowInfo info;
        ASSERT_TRUE(x11test::QueryWindow(Display(), window, &info));
        EXPECT_GE(info.width, kClientWidth);
        EXPECT_GE(info.height, kClientHeight);
        ASSERT_TRUE(WaitForScreen(window, {kHeading, kUnderline}));

        // x: "0.1275", then Home, Right, Right, "3", End, Left, Delete: "0.3127".
        Type("0.1275");
        Keys({"Home", "Right", "Right"});
        Type("3");
        Keys({"End", "Left", "Delete", "Return"});
        // y: "0.3x29", then Left, Left, BackSpace: "0.329".
        Type("0.3x29");
        Keys({"Left", "Left", "BackSpace", "Return"});
        EXPECT_TRUE(WaitForScreen(window, DialogueRows("0.3127", "0.329", " 488.997")));

        // The first key closes the result file, the second ends the program.
        Keys({"space"});
        EXPECT_TRUE(WaitForResultFile(kSpectralFile)) << ResultFile();
        EXPECT_EQ(x11test::FindWindow(Display(), "wellenlaenge"), window);
        Keys({"Escape"});
        EXPECT_EQ(program.Wait(30s), 0) << program.Output();
        EXPECT_TRUE(WindowGone("wellenlaenge"));
        EXPECT_EQ(ResultFile(), kSpectralFile);
        // A named driver that did not start would have said so here.
        EXPECT_EQ(program.Output(), "");
    }

    inline static std::string skipReason_;
    inline static std::string build_;
    inline static std::string prefix_;
    inline static std::unique_ptr<x11test::XvfbServer> server_;
    inline static std::unique_ptr<testsupport::TempDir> ownPrefix_;
    testsupport::TempDir folder_;
};

using WineWindowTest = WineFixture<24>;

// The dialogue under each driver the program takes: the same result file and
// the same picture rows.
class WineDialogueTest : public WineWindowTest,
                         public ::testing::WithParamInterface<const char*> {};

TEST_P(WineDialogueTest, RunsInTheWindowFromEndToEnd) {
    RunDialogue(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Drivers, WineDialogueTest, ::testing::Values("", "DirectX", "GDI"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return *info.param != '\0' ? std::string(info.param)
                                                        : std::string("FirstOfTheList");
                         });

// The first driver of the list presents (its surface at the display's 32
// bits), and DirectInput gives the key states: held keys set the state of
// their scan code, also after the device was taken away and acquired again.
TEST_F(WineWindowTest, DirectXPresentsAndDirectInputGivesTheKeyStates) {
    testsupport::BackgroundProgram program;
    unsigned long window = 0;
    ASSERT_NO_FATAL_FAILURE(
        StartInWindow(program, "tests/wl_screen_probe.exe", "wl_screen_probe", &window));
    ASSERT_NE(WaitForOutput(program, "Ready DirectX 32\n"), std::string::npos) << program.Output();
    EXPECT_TRUE(WaitForScreen(window, {"Tastenprobe"}));
    ASSERT_TRUE(KeysArrive(program, "Down 42\n"));  // left Shift

    Hold("a");
    const size_t down = WaitForOutput(program, "Down 30\n");
    EXPECT_NE(WaitForOutput(program, "Up 30\n", down), std::string::npos) << program.Output();
    Keys({"F2"});
    const size_t at = WaitForOutput(program, "Keyboard dropped\n");
    ASSERT_NE(at, std::string::npos) << program.Output();
    Hold("a");
    EXPECT_NE(WaitForOutput(program, "Down 30\n", at), std::string::npos) << program.Output();
    Keys({"Escape"});
    EXPECT_EQ(program.Wait(30s), 0) << program.Output();
    const std::string out = Lines(program);
    EXPECT_EQ(out.find("Reacquired 0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\nClosed\n"), std::string::npos) << out;
    EXPECT_TRUE(WindowGone("wl_screen_probe"));
}

// A screen opened with the OpenGL flag: what OpenGL drew is in the window,
// keys reach the key buffer through poll events, and the screen closes.
TEST_F(WineWindowTest, OpenGlScreenShowsItsFrameAndTakesKeysThroughPollEvents) {
    testsupport::BackgroundProgram program;
    unsigned long window = 0;
    ASSERT_NO_FATAL_FAILURE(StartInWindow(program, "tests/wl_screen_probe.exe", "wl_screen_probe",
                                          &window, "", {"opengl"}));
    ASSERT_NE(WaitForOutput(program, "Ready OpenGL\nFormat arb=1 double=1\n"), std::string::npos)
        << program.Output();
    std::string colours = "no screenshot";
    for (int i = 0; i < 50 && !colours.empty(); ++i) {
        x11test::Screenshot shot;
        if (!x11test::TakeScreenshot(Display(), window, &shot, &colours)) continue;
        const Origin client = ClientOrigin(shot);
        int others = 0;
        for (int y = 0; y < kClientHeight; ++y) {
            for (int x = 0; x < kClientWidth; ++x) {
                others += shot.At(client.x + x, client.y + y) != 0x3366CC;
            }
        }
        colours = others == 0 ? "" : std::to_string(others) + " pixels are not 0x3366CC";
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(colours, "");
    ASSERT_TRUE(KeysArrive(program, "Down 42\n"));
    Keys({"a", "F1", "Escape"});
    EXPECT_EQ(program.Wait(30s), 0) << program.Output();
    const std::string out = Lines(program);
    EXPECT_NE(out.find("Key 61\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Key FF 3B\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Key 1B\nClosed\n"), std::string::npos) << out;
    EXPECT_TRUE(WindowGone("wl_screen_probe"));
}

// Alt+F4 does nothing in the window; the close button is a key of the
// program (the close code) and does not close the window itself.
TEST_F(WineWindowTest, AltF4DoesNothingAndTheCloseButtonIsAKey) {
    testsupport::BackgroundProgram program;
    unsigned long window = 0;
    ASSERT_NO_FATAL_FAILURE(StartInWindow(program, "wellenlaenge.exe", "wellenlaenge", &window));
    ASSERT_TRUE(WaitForScreen(window, {kHeading, kUnderline}));
    Type("0.4\r0.2\r");
    ASSERT_TRUE(WaitForScreen(window, DialogueRows("0.4", "0.2", " 521.152")));

    Keys({"alt+F4"});
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(ResultFile(), "");  // not a key: the file is still open
    ASSERT_EQ(x11test::FindWindow(Display(), "wellenlaenge"), window);

    ASSERT_TRUE(x11test::SendCloseRequest(Display(), window));
    EXPECT_TRUE(WaitForResultFile(kPurpleFile)) << ResultFile();
    EXPECT_EQ(x11test::FindWindow(Display(), "wellenlaenge"), window);  // still open

    ASSERT_TRUE(x11test::SendCloseRequest(Display(), window));
    EXPECT_EQ(program.Wait(30s), 0) << program.Output();
    EXPECT_TRUE(WindowGone("wellenlaenge"));
}

// Real key events arrive as the window messages a Windows keyboard makes.
TEST_F(WineWindowTest, KeyEventsArriveAsWindowsKeyMessages) {
    testsupport::BackgroundProgram program;
    unsigned long window = 0;
    ASSERT_NO_FATAL_FAILURE(
        StartInWindow(program, "tests/wl_window_probe.exe", "wl_window_probe", &window));
    ASSERT_TRUE(KeysArrive(program, "KeyDown vk=10 "));
    Keys({"Left", "F1", "a", "F10", "adiaeresis", "Delete"});
    // The close request is the last message the probe reports.
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(x11test::SendCloseRequest(Display(), window));
    ASSERT_EQ(program.Wait(30s), 0) << program.Output();
    const std::string out = program.Output();

    struct Expected {
        const char* line;
        const char* meaning;
    };
    const Expected expected[] = {
        {"KeyDown vk=25 scan=4B ext=1 ", "Left: scan code 0x4B, extended"},
        {"KeyDown vk=70 scan=3B ext=0 ", "F1: scan code 0x3B"},
        {"KeyDown vk=41 scan=1E ext=0 alt=0 repeat=1 char=97 unshifted=65", "the A key"},
        {"Char cp437=97 ", "a: WM_CHAR 97"},
        {"SysKeyDown vk=79 scan=44 ", "F10: WM_SYSKEYDOWN"},
        {"Char cp437=132 ", "a-umlaut: code page 437 byte 132"},
        {"KeyDown vk=2E scan=53 ext=1 ", "Delete: scan code 0x53, extended"},
        {"Close", "the close request: WM_CLOSE"},
    };
    size_t at = 0;
    for (const Expected& e : expected) {
        const size_t found = out.find(e.line, at);
        EXPECT_NE(found, std::string::npos) << e.meaning << " not reported in order:\n" << out;
        if (found != std::string::npos) at = found;
    }
}

// A display of 16 bits per pixel: the DirectX surface is 5-6-5, and the
// dialogue shows the same picture through its converter.
using WineWindow16BitTest = WineFixture<16>;

TEST_F(WineWindow16BitTest, DirectXDrawsThroughThe565Converter) {
    testsupport::BackgroundProgram program;
    unsigned long window = 0;
    ASSERT_NO_FATAL_FAILURE(
        StartInWindow(program, "tests/wl_screen_probe.exe", "wl_screen_probe", &window));
    EXPECT_NE(WaitForOutput(program, "Ready DirectX 16\n"), std::string::npos) << program.Output();
    EXPECT_TRUE(WaitForScreen(window, {"Tastenprobe"}));
    ASSERT_TRUE(x11test::SendCloseRequest(Display(), window));
    EXPECT_EQ(program.Wait(30s), 0) << program.Output();
}

TEST_F(WineWindow16BitTest, DialogueShowsTheSamePicture) {
    RunDialogue("DirectX");
}

// A display of 640x480: DirectX takes the requested mode for full screen, an
// 8-bit one with a DirectDraw palette, draws into the primary surface, and
// goes back to the window.
using WineWindowFullScreenTest = WineFixture<24, 640, 480>;

TEST_F(WineWindowFullScreenTest, DirectXSwitchesTheDisplayModeAndBack) {
    testsupport::BackgroundProgram program;
    unsigned long window = 0;
    ASSERT_NO_FATAL_FAILURE(
        StartInWindow(program, "tests/wl_screen_probe.exe", "wl_screen_probe", &window));
    ASSERT_NE(WaitForOutput(program, "Ready DirectX 32\n"), std::string::npos) << program.Output();
    ASSERT_TRUE(KeysArrive(program, "Down 42\n"));
    Hold("Return", true);
    ASSERT_NE(WaitForOutput(program, "Surface 8\n"), std::string::npos) << program.Output();
    const unsigned long fullScreen = WaitForWindow("wl_screen_probe");
    x11test::WindowInfo info;
    ASSERT_TRUE(x11test::QueryWindow(Display(), fullScreen, &info));
    EXPECT_EQ(info.x, 0);
    EXPECT_EQ(info.y, 0);
    EXPECT_TRUE(WaitForScreen(fullScreen, {"Tastenprobe"}));
    Focus(fullScreen);
    Hold("Return", true);
    EXPECT_NE(WaitForOutput(program, "Surface 32\n"), std::string::npos) << program.Output();
    Keys({"Escape"});
    EXPECT_EQ(program.Wait(30s), 0) << program.Output();
}

}  // namespace
