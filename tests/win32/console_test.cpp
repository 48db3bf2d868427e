// Terminal mode on Windows: the program with piped standard input and output,
// Ctrl+C through a console, range locks with LockFile, and file names with
// "/" separators.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/child_process.h"
#include "textio/files.h"
#include "textio/last_error.h"
#include "textio/platform/file_io.h"
#include "textio/print.h"
#include "textio/runtime.h"
#include "textio/runtime_state.h"
#include "textio/sleep.h"

namespace {

using testsupport::ChildOptions;
using testsupport::ChildResult;
using testsupport::ReadFileBytes;
using testsupport::RunChild;
using testsupport::TempDir;

const std::string kCrLf = "\r\n";

std::string Blanks(int n) {
    return std::string(static_cast<size_t>(n), ' ');
}

std::string Transcript(const std::string& typedX, const std::string& typedY,
                       const std::string& result) {
    return "        Berechnung der farbtongleichen Wellenl\x84nge aus x und y" + kCrLf +
           "        " + std::string(54, '=') + kCrLf + kCrLf + kCrLf +
           "     Farbwertanteil x = ? " + typedX + kCrLf + "     Farbwertanteil y = ? " + typedY +
           kCrLf + kCrLf + "   farbtongleiche Wellenl\x84nge la= " + result + kCrLf;
}

// True when this process can make windows; the program then opens its window
// instead of running in the terminal. (Wine without an X display cannot.)
bool WindowsCanBeMade() {
    WNDCLASSA probeClass{};
    probeClass.lpfnWndProc = DefWindowProcA;
    probeClass.hInstance = GetModuleHandleA(nullptr);
    probeClass.lpszClassName = "wl_window_probe";
    RegisterClassA(&probeClass);
    HWND probe = CreateWindowExA(0, probeClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                 nullptr, probeClass.hInstance, nullptr);
    if (probe != nullptr) DestroyWindow(probe);
    UnregisterClassA(probeClass.lpszClassName, probeClass.hInstance);
    return probe != nullptr;
}

class TerminalProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (WindowsCanBeMade()) {
            GTEST_SKIP() << "windows can be made here: the program would open its window";
        }
    }
};

// The program without a display: no window can be made, so it runs in the
// terminal on the pipes it was given.
ChildResult RunDialogue(const TempDir& dir, const std::string& input) {
    ChildOptions options;
    options.workingDirectory = dir.path();
    options.input = input;
    options.environment = {{"KRGFX", ""}, {"DISPLAY", ""}};
    return RunChild({WL_PROGRAM_PATH}, options);
}

TEST_F(TerminalProgramTest, PipedDialogueWritesTheTranscriptAndTheFile) {
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "0.3127\n0.329\nab");
    ASSERT_TRUE(r.started);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, Transcript("0.3127", "0.329", " 488.997"));
    EXPECT_EQ(ReadFileBytes(dir.File("wellenlaenge.txt")),
              " 0.3127" + Blanks(7) + " 0.329" + Blanks(8) + " 0.3583" + kCrLf + " 380" +
                  Blanks(10) + " 488.997" + kCrLf);
}

TEST_F(TerminalProgramTest, CarriageReturnsOfWindowsLinesAreNotPartOfTheInput) {
    TempDir dir;
    const ChildResult r = RunDialogue(dir, "0.4\r\n0.2\r\n\r\n");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, Transcript("0.4", "0.2", " 521.152"));
}

TEST_F(TerminalProgramTest, TheEndOfInputNeverWaits) {
    TempDir dir;
    const ULONGLONG start = GetTickCount64();
    const ChildResult r = RunDialogue(dir, "0.3127\n");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_LT(GetTickCount64() - start, 15000u);
    // y is read as an empty line: 0.
    const std::string file = ReadFileBytes(dir.File("wellenlaenge.txt"));
    EXPECT_EQ(file.substr(0, 16), " 0.3127" + Blanks(7) + " 0");
}

// The child of the death test: a console of its own, a file with buffered
// output, then Ctrl+C while the main thread waits.
[[noreturn]] void InterruptWhileWaiting(const std::string& path) {
    // A console of its own: the event must reach no other process.
    FreeConsole();
    if (!AllocConsole()) std::_Exit(98);
    textio::RuntimeStartup();
    if (textio::FileOpen(path, textio::kModeOutput, 0, 0, 1, 0) != 0) std::_Exit(97);
    textio::PrintStringValue(1, "vor dem Abbruch", textio::kMaskLineEnd);
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    for (int i = 0; i < 500; ++i) textio::SleepMilliseconds(20);
    std::_Exit(96);  // the interrupt never came
}

TEST(ConsoleInterruptTest, CtrlCEndsWithFilesWrittenAndTheControlCStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this test again up to the statement: the file's name must
    // not depend on anything that differs between the two.
    const std::string path =
        (std::filesystem::temp_directory_path() / "wl-win32-tests-ctrl-c.txt").string();
    std::filesystem::remove(path);
    EXPECT_EXIT(InterruptWhileWaiting(path),
                ::testing::ExitedWithCode(static_cast<int>(0xC000013Au)), "");
    EXPECT_EQ(ReadFileBytes(path), "vor dem Abbruch\r\n");
    std::filesystem::remove(path);
}

class WindowsFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        textio::FileCloseAll();
        textio::ResetRuntimeState();
    }
    void TearDown() override { textio::FileCloseAll(); }
    TempDir dir_;
};

TEST_F(WindowsFilesTest, SlashesInNamesBecomeBackslashes) {
    EXPECT_EQ(textio::platform::NativeFileName("a/b/c.txt"), "a\\b\\c.txt");
    EXPECT_EQ(textio::platform::NativeFileName("C:/x\\y"), "C:\\x\\y");
    std::filesystem::create_directory(dir_.path() + "\\sub");
    const std::string name = dir_.path() + "/sub/datei.txt";
    ASSERT_EQ(textio::FileOpen(name, textio::kModeOutput, 0, 0, 1, 0), 0);
    textio::PrintStringValue(1, "x", textio::kMaskNone);
    textio::FileClose(1);
    EXPECT_EQ(ReadFileBytes(dir_.path() + "\\sub\\datei.txt"), "x");
}

// A locked range keeps other handles out; unlocking lets them in again.
TEST_F(WindowsFilesTest, LockedRangesKeepOtherHandlesOut) {
    const std::string path = dir_.File("gesperrt.bin");
    ASSERT_EQ(textio::FileOpen(path, textio::kModeBinary, textio::kAccessReadWrite, 0, 1, 0), 0);
    textio::PrintStringValue(1, "0123456789abcdef", textio::kMaskNone);
    textio::FileRecord* rec = &textio::Runtime().files[1];
    ASSERT_EQ(rec->ops->flush(rec), 0);
    ASSERT_EQ(rec->ops->lock(rec, 4, 8), 0);

    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(LockFile(other, 10, 0, 1, 0));  // inside the locked bytes 4..11
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_LOCK_VIOLATION));
    EXPECT_TRUE(LockFile(other, 12, 0, 4, 0));  // after them
    EXPECT_TRUE(UnlockFile(other, 12, 0, 4, 0));

    // A second lock of the same range is refused, even through the same file.
    EXPECT_EQ(rec->ops->lock(rec, 6, 2), textio::kErrIo);
    ASSERT_EQ(rec->ops->unlock(rec, 4, 8), 0);
    EXPECT_TRUE(LockFile(other, 10, 0, 1, 0));
    EXPECT_TRUE(UnlockFile(other, 10, 0, 1, 0));
    // Unlocking what is not locked fails.
    EXPECT_EQ(rec->ops->unlock(rec, 4, 8), textio::kErrIo);
    CloseHandle(other);
}

}  // namespace
