// The Windows program under Wine on a private Xvfb: real key events from
// xdotool reach the Win32 window as window messages, the dialogue runs in the
// window from end to end, and the picture read back with xwd is the expected
// rendering of the text rows.
//
// The Windows build is named by the environment variable WL_WINDOWS_BUILD
// (scripts/test-windows.sh sets it); WINEPREFIX may name a prefix made for
// the run, else the tests make their own. Without a Windows build, Wine,
// Xvfb or the X tools the tests are skipped.
#include <gtest/gtest.h>

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

class WineWindowTest : public ::testing::Test {
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
        server_ = std::make_unique<x11test::XvfbServer>();
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
            testsupport::RunChild({"wineboot", "-i"}, options);
            testsupport::RunChild({"wineserver", "-w"}, options);
        }
    }

    static void TearDownTestSuite() {
        if (!prefix_.empty()) {
            testsupport::ChildOptions options;
            options.environment = {{"WINEPREFIX", prefix_}};
            testsupport::RunChild({"wineserver", "-k"}, options);
        }
        server_.reset();
        ownPrefix_.reset();
        prefix_.clear();
    }

    void SetUp() override {
        if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
    }

    const std::string& Display() const { return server_->display(); }

    // Starts `exe` of the Windows build under Wine, with its output in the
    // test's folder, waits for its window titled `title` and gives it the
    // keyboard focus.
    void StartInWindow(testsupport::BackgroundProgram& program, const std::string& exe,
                       const std::string& title, unsigned long* window) {
        const std::vector<std::string> environment =
            testsupport::EnvironmentWith({{"WINEPREFIX", prefix_},
                                          {"WINEDEBUG", "-all"},
                                          {"DISPLAY", Display()},
                                          {"KRGFX", ""}});
        const std::string output = folder_.File("stdout.txt");
        ASSERT_TRUE(program.Start({x11test::FindProgram("wine"), build_ + "/" + exe},
                                  folder_.path(), environment, output, output));
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

    static std::string skipReason_;
    static std::string build_;
    static std::string prefix_;
    static std::unique_ptr<x11test::XvfbServer> server_;
    static std::unique_ptr<testsupport::TempDir> ownPrefix_;
    testsupport::TempDir folder_;
};

std::string WineWindowTest::skipReason_;
std::string WineWindowTest::build_;
std::string WineWindowTest::prefix_;
std::unique_ptr<x11test::XvfbServer> WineWindowTest::server_;
std::unique_ptr<testsupport::TempDir> WineWindowTest::ownPrefix_;

// The whole dialogue in the window, typed with the line editor's keys.
TEST_F(WineWindowTest, DialogueRunsInTheWindowFromEndToEnd) {
    testsupport::BackgroundProgram program;
    unsigned long window = 0;
    ASSERT_NO_FATAL_FAILURE(StartInWindow(program, "wellenlaenge.exe", "wellenlaenge", &window));
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
    EXPECT_EQ(program.Output(), "");
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

}  // namespace
