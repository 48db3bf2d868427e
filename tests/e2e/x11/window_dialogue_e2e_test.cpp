// The built program in its window on a private Xvfb: typed into with xdotool
// (real key events through the XTEST extension), the picture read back with
// xwd, and the result file, the exit status and the window's end checked.
//
// Every wait is bounded. The dialogue is followed on the screen: before each
// input the test waits until the prompt shows, and after the last one until
// the result line shows, so keys never race the program's start.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
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

class WindowDialogueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool", "xwininfo", "xwd"}) {
            if (!x11test::HaveProgram(tool)) GTEST_SKIP() << tool << " is not installed";
        }
        ASSERT_TRUE(server_.Start(screenWidth_, screenHeight_)) << server_.error();
    }

    const std::string& Display() const { return server_.display(); }

    x11test::ToolResult Tool(const std::vector<std::string>& argv) {
        return x11test::RunTool(argv, Display());
    }

    std::string WindowId() const { return std::to_string(window_); }

    // Starts the program and waits until its window is viewable, has the
    // keyboard focus and shows the prompt for x.
    void StartProgram() {
        // DISPLAY names our server, KRGFX is unset; the output goes to files in `logs_`.
        // The picture shown `scale_` times its size (WL_SCALE), GDK_SCALE unset.
        const std::vector<std::string> environment =
            testsupport::EnvironmentWith({{"DISPLAY", Display()},
                                          {"KRGFX", std::nullopt},
                                          {"WL_SCALE", std::to_string(scale_)},
                                          {"GDK_SCALE", std::nullopt}});
        ASSERT_TRUE(program_.Start({WL_PROGRAM_PATH}, folder_.path(), environment,
                                   logs_.path() + "/stdout", logs_.path() + "/stderr"));
        const x11test::ToolResult found =
            Tool({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^wellenlaenge$"});
        ASSERT_EQ(found.status, 0) << "no window appeared: " << found.err << program_.Errors();
        window_ = std::strtoul(found.out.c_str(), nullptr, 10);
        ASSERT_NE(window_, 0u) << found.out;
        // No window manager runs: give the window the focus ourselves.
        ASSERT_EQ(Tool({"xdotool", "windowfocus", "--sync", WindowId()}).status, 0);
        ASSERT_TRUE(WaitForScreen(4, {kPromptX}, CursorAfterPrompt(4)));
    }

    // Polls screenshots until the text rows from `firstRow` (0-based) show
    // exactly `rows`; the failure names the last difference seen.
    ::testing::AssertionResult WaitForScreen(int firstRow, const std::vector<std::string>& rows,
                                             std::optional<CursorMark> cursor = std::nullopt,
                                             std::chrono::milliseconds timeout = 8000ms) {
        const auto deadline = Clock::now() + timeout;
        std::string last = "no screenshot taken";
        x11test::Screenshot shot;
        for (;;) {
            std::string error;
            if (x11test::TakeScreenshot(Display(), window_, &shot, &error)) {
                if (scale_ > 1) shot = x11test::Unscaled(shot, scale_);
                last = PictureDifference(shot, Origin{}, firstRow, rows, cursor);
                if (last.empty()) return ::testing::AssertionSuccess();
            } else {
                last = error;
            }
            if (Clock::now() >= deadline) break;
            std::this_thread::sleep_for(50ms);
        }
        return ::testing::AssertionFailure()
               << "text rows from " << firstRow + 1 << " not shown: " << last << SavePicture(shot);
    }

    // Real key events for the focused window: characters, or key names.
    void Type(const std::string& text) {
        ASSERT_EQ(Tool({"xdotool", "type", "--delay", "40", text}).status, 0) << text;
    }
    void Keys(const std::vector<std::string>& names) {
        std::vector<std::string> argv{"xdotool", "key", "--delay", "40"};
        argv.insert(argv.end(), names.begin(), names.end());
        ASSERT_EQ(Tool(argv).status, 0);
    }

    std::string ResultFile() const {
        return testsupport::ReadFileBytes(folder_.File("wellenlaenge.txt"));
    }

    // The result file is written out when it is closed, after the first of
    // the two final keys: waits until it has `size` bytes.
    ::testing::AssertionResult WaitForResultFile(size_t size,
                                                 std::chrono::milliseconds timeout = 5000ms) {
        const auto deadline = Clock::now() + timeout;
        while (ResultFile().size() != size) {
            if (Clock::now() >= deadline) {
                return ::testing::AssertionFailure()
                       << "the result file has " << ResultFile().size() << " bytes, want " << size;
            }
            std::this_thread::sleep_for(20ms);
        }
        return ::testing::AssertionSuccess();
    }

    // The two lines of input, each after its prompt shows, then the wait for
    // the whole dialogue screen with the result.
    void EnterCoordinates(const std::string& x, const std::string& y, const std::string& result) {
        Type(x);
        Keys({"Return"});
        ASSERT_TRUE(WaitForScreen(4, {kPromptX + x, kPromptY}, CursorAfterPrompt(5)));
        Type(y);
        Keys({"Return"});
        ASSERT_TRUE(WaitForScreen(0, DialogueRows(x, y, result)));
    }

    // The window's picture as it is now, kept as `name`.ppm in the folder that
    // WL_WINDOW_PICTURES names (when it is set): the browser tests compare the
    // page's canvas with it.
    void KeepPicture(const std::string& name) {
        const char* folder = std::getenv("WL_WINDOW_PICTURES");
        if (folder == nullptr || *folder == '\0') return;
        x11test::Screenshot shot;
        std::string error;
        ASSERT_TRUE(x11test::TakeScreenshot(Display(), window_, &shot, &error)) << error;
        ASSERT_TRUE(WritePicture(shot, std::string(folder) + "/" + name + ".ppm")) << folder;
    }

    // The first final key closes the result file, the second ends the program.
    void PressFinalKeys(size_t fileSize) {
        Keys({"a"});
        ASSERT_TRUE(WaitForResultFile(fileSize));
        Keys({"b"});
    }

    // The program ended with status 0, wrote nothing to standard output or
    // standard error, and its window is gone.
    void ExpectCleanEnd() {
        ASSERT_TRUE(program_.WaitForExit(10000ms)) << "the program did not end";
        EXPECT_EQ(program_.termSignal(), 0);
        EXPECT_EQ(program_.exitStatus(), 0);
        EXPECT_EQ(program_.Errors(), "");
        EXPECT_EQ(program_.Output(), "") << "the screen text belongs in the window";
        bool gone = false;
        for (const auto deadline = Clock::now() + 2000ms; !gone && Clock::now() < deadline;) {
            gone = Tool({"xwininfo", "-id", WindowId()}).status != 0 &&
                   Tool({"xdotool", "search", "--name", "^wellenlaenge$"}).out.empty();
            if (!gone) std::this_thread::sleep_for(50ms);
        }
        EXPECT_TRUE(gone) << "window " << WindowId() << " still exists";
    }

    // After a close request once the result shows: the result file is
    // written, the program and its window stay until one more key, and the
    // program then ends cleanly.
    void ExpectCloseCountsAsTheFirstFinalKey();

    // The two final keys, the clean end, and the result file as `file`.
    void FinishWithResultFile(const std::string& file) {
        ASSERT_NO_FATAL_FAILURE(PressFinalKeys(file.size()));
        ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd());
        EXPECT_EQ(ResultFile(), file);
    }

    int screenWidth_ = 1024, screenHeight_ = 768;
    int scale_ = 1;
    x11test::XvfbServer server_;
    testsupport::TempDir folder_;
    testsupport::TempDir logs_;
    testsupport::BackgroundProgram program_;
    unsigned long window_ = 0;
};

// The sample session: the screen pixel for pixel, the file byte for byte.
TEST_F(WindowDialogueTest, SpectralInputShowsTheResultAndWritesTheFile) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(EnterCoordinates("0.3127", "0.329", " 488.997"));
    // Pixel rows 0..127 of the client area: the eight text rows above the
    // cursor, nothing else lit.
    x11test::Screenshot shot;
    std::string error;
    ASSERT_TRUE(x11test::TakeScreenshot(Display(), window_, &shot, &error)) << error;
    EXPECT_EQ(shot.width, 640);
    EXPECT_EQ(shot.height, 480);
    EXPECT_EQ(PictureDifference(shot, Origin{}, 0, DialogueRows("0.3127", "0.329", " 488.997")),
              "");
    // Until the first final key the result file is still open.
    EXPECT_TRUE(program_.Running());
    ASSERT_NO_FATAL_FAILURE(FinishWithResultFile(kSpectralFile));
    EXPECT_EQ(kSpectralFile.size(), 61u);
}

// Each editing key is needed for the line to come out as 0.3127 (x) and
// 0.329 (y); the screen rows show the edited lines with nothing left over.
TEST_F(WindowDialogueTest, EditingKeysCorrectTypingMistakes) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    x11test::BellCounter bells(Display());
    ASSERT_TRUE(bells.ok());
    // "50.3x12": Left twice stands after the x, Backspace removes it, Home
    // and Delete remove the 5, End goes past "0.312", Delete at the end of
    // the line changes nothing but a beep, and the 7 completes the number.
    Type("50.3x12");
    Keys({"Left", "Left", "BackSpace", "Home", "Delete", "End", "Delete"});
    Type("7");
    Keys({"Return"});
    ASSERT_TRUE(WaitForScreen(4, {kPromptX + "0.3127", kPromptY}, CursorAfterPrompt(5)));
    EXPECT_EQ(bells.Count(), 1);
    // Escape empties the line "0.9"; in "0.3289" Left twice stands before
    // the 8, Right after it, and Backspace removes it.
    Type("0.9");
    Keys({"Escape"});
    Type("0.3289");
    Keys({"Left", "Left", "Right", "BackSpace", "Return"});
    ASSERT_TRUE(WaitForScreen(0, DialogueRows("0.3127", "0.329", " 488.997")));
    ASSERT_NO_FATAL_FAILURE(KeepPicture("editing"));
    ASSERT_NO_FATAL_FAILURE(FinishWithResultFile(kSpectralFile));
}

// A purple point: the reflected coordinates are written too.
TEST_F(WindowDialogueTest, PurpleInputWritesTheReflectedTriple) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(EnterCoordinates("0.4", "0.2", " 521.152"));
    ASSERT_NO_FATAL_FAILURE(KeepPicture("purple"));
    ASSERT_EQ(kPurpleFile.size(), 135u);
    ASSERT_NO_FATAL_FAILURE(FinishWithResultFile(kPurpleFile));
}

// The comma ends the number, so x = 0; the window writes what the terminal
// run of the same lines writes.
TEST_F(WindowDialogueTest, DecimalCommaReadsAsZero) {
    testsupport::TempDir terminalFolder;
    testsupport::ChildOptions options;
    options.workingDirectory = terminalFolder.path();
    options.input = "0,3127\n0.329\n\n\n";
    options.environment = {{"KRGFX", ""}, {"DISPLAY", ""}, {"LC_ALL", "C"}};
    const testsupport::ChildResult terminal = testsupport::RunChild({WL_PROGRAM_PATH}, options);
    ASSERT_EQ(terminal.exitStatus, 0);
    const std::string terminalFile =
        testsupport::ReadFileBytes(terminalFolder.File("wellenlaenge.txt"));
    const std::string firstLine = " 0" + Blanks(12) + " 0.329" + Blanks(8) + " 0.671" + kCrLf;
    ASSERT_EQ(terminalFile.substr(0, firstLine.size()), firstLine);
    const size_t caption = terminal.out.find("la= ");
    const size_t lineEnd = terminal.out.find(kCrLf, caption);
    ASSERT_NE(lineEnd, std::string::npos) << terminal.out;
    const std::string shownResult = terminal.out.substr(caption + 4, lineEnd - caption - 4);

    ASSERT_NO_FATAL_FAILURE(StartProgram());
    Type("0,3127");
    Keys({"Return"});
    ASSERT_TRUE(WaitForScreen(4, {kPromptX + "0,3127", kPromptY}, CursorAfterPrompt(5)));
    Type("0.329");
    Keys({"Return"});
    ASSERT_TRUE(WaitForScreen(0, DialogueRows("0,3127", "0.329", shownResult)));
    ASSERT_NO_FATAL_FAILURE(FinishWithResultFile(terminalFile));
}

// The close button asks the window to close (WM_DELETE_WINDOW): that counts
// as the first final key, and the program still waits for one more key.
TEST_F(WindowDialogueTest, CloseButtonIsTheFirstFinalKey) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(EnterCoordinates("0.3127", "0.329", " 488.997"));
    ASSERT_TRUE(x11test::SendCloseRequest(Display(), window_));
    ASSERT_NO_FATAL_FAILURE(ExpectCloseCountsAsTheFirstFinalKey());
}

// The same under a window manager (openbox), asked by wmctrl to close the
// window.
class WindowDialogueUnderWindowManagerTest : public WindowDialogueTest {
  protected:
    void SetUp() override {
        if (!x11test::HaveProgram("wmctrl")) GTEST_SKIP() << "wmctrl is not installed";
        ASSERT_NO_FATAL_FAILURE(WindowDialogueTest::SetUp());
        if (IsSkipped()) return;
        ASSERT_TRUE(windowManager_.Start(Display())) << windowManager_.error();
    }

    x11test::WindowManager windowManager_;
};

TEST_F(WindowDialogueUnderWindowManagerTest, TheWindowManagersCloseIsTheFirstFinalKey) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(EnterCoordinates("0.3127", "0.329", " 488.997"));
    ASSERT_EQ(Tool({"wmctrl", "-i", "-c", WindowId()}).status, 0);
    ASSERT_NO_FATAL_FAILURE(ExpectCloseCountsAsTheFirstFinalKey());
}

void WindowDialogueTest::ExpectCloseCountsAsTheFirstFinalKey() {
    ASSERT_TRUE(WaitForResultFile(kSpectralFile.size()));
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(program_.Running()) << "the close request ended the program";
    EXPECT_EQ(Tool({"xwininfo", "-id", WindowId()}).status, 0) << "the window closed early";
    Keys({"space"});
    ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd());
    EXPECT_EQ(ResultFile(), kSpectralFile);
}

// Shown twice its size (WL_SCALE=2) on a 1920x1080 screen: the window is
// 1280x960, every text pixel a 2x2 block, and the typed dialogue writes the
// same file.
class ScaledWindowDialogueTest : public WindowDialogueTest {
  protected:
    ScaledWindowDialogueTest() {
        screenWidth_ = 1920;
        screenHeight_ = 1080;
        scale_ = 2;
    }
};

TEST_F(ScaledWindowDialogueTest, AtScale2TheDialogueShowsTwiceItsSize) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(EnterCoordinates("0.3127", "0.329", " 488.997"));
    x11test::WindowInfo info;
    ASSERT_TRUE(x11test::QueryWindow(Display(), window_, &info));
    EXPECT_EQ(info.width, 1280);
    EXPECT_EQ(info.height, 960);
    ASSERT_NO_FATAL_FAILURE(FinishWithResultFile(kSpectralFile));
}

// A server that no longer answers cannot hold the program: SIGTERM ends it
// with 128 + 15 within about two seconds, the open result file written out.
TEST_F(WindowDialogueTest, TerminationWhileTheServerHangsWritesTheFileAndEnds) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(EnterCoordinates("0.3127", "0.329", " 488.997"));
    server_.Pause();
    program_.Signal(SIGTERM);
    const int status = program_.Wait(3000ms);
    server_.Resume();
    EXPECT_EQ(status, 128 + SIGTERM);
    EXPECT_EQ(ResultFile(), kSpectralFile);
}

}  // namespace
