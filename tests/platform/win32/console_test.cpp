// Terminal mode on Windows: the program with piped standard input and output,
// Ctrl+C through a console, range locks with LockFile, and file names with
// "/" separators.
#include "textio/console.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/dialogue_text.h"
#include "textio/files.h"
#include "textio/last_error.h"
#include "platform/file_io.h"
#include "textio/print.h"
#include "textio/runtime.h"
#include "textio/runtime_state.h"
#include "textio/sleep.h"
#include "textio/terminal.h"

namespace {

using testsupport::ChildOptions;
using testsupport::ChildResult;
using testsupport::ReadFileBytes;
using testsupport::RunChild;
using testsupport::TempDir;

using namespace dialoguetest;

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

// Terminal mode on a console: the child of the death test gets a console of
// its own, types keys into it and reads its screen back. Exits with 0 when
// all was as expected.
[[noreturn]] void EditOnAConsole() {
    auto fail = [](const std::string& why) {
        std::fprintf(stderr, "%s\n", why.c_str());
        std::fflush(stderr);
        std::_Exit(1);
    };
    FreeConsole();
    if (!AllocConsole()) fail("no console");
    // The console as standard input and output (the test's own may be pipes).
    HANDLE input =
        CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE screen =
        CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE || screen == INVALID_HANDLE_VALUE) fail("no console handles");
    SetStdHandle(STD_INPUT_HANDLE, input);
    SetStdHandle(STD_OUTPUT_HANDLE, screen);

    // The line typed with the editor's keys: "0.1275", Home, Right, Right,
    // "3", End, Left, Delete, Enter gives "0.3127".
    std::vector<INPUT_RECORD> keys;
    auto key = [&](WORD virtualKey, wchar_t c) {
        INPUT_RECORD r{};
        r.EventType = KEY_EVENT;
        r.Event.KeyEvent.wRepeatCount = 1;
        r.Event.KeyEvent.wVirtualKeyCode = virtualKey;
        r.Event.KeyEvent.uChar.UnicodeChar = c;
        r.Event.KeyEvent.bKeyDown = TRUE;
        keys.push_back(r);
        r.Event.KeyEvent.bKeyDown = FALSE;
        keys.push_back(r);
    };
    for (char c : std::string("0.1275")) key(static_cast<WORD>(VkKeyScanA(c) & 0xFF), c);
    key(VK_HOME, 0);
    key(VK_RIGHT, 0);
    key(VK_RIGHT, 0);
    key('3', L'3');
    key(VK_END, 0);
    key(VK_LEFT, 0);
    key(VK_DELETE, 0);
    key(VK_RETURN, L'\r');
    DWORD written = 0;
    if (!WriteConsoleInputW(input, keys.data(), static_cast<DWORD>(keys.size()), &written)) {
        fail("the keys could not be typed: error " + std::to_string(GetLastError()));
    }

    textio::RuntimeStartup();  // terminal mode on the standard streams: the console
    if (!textio::TerminalInputIsTerminal() || !textio::TerminalOutputIsTerminal()) {
        fail("the console is not taken for a terminal");
    }
    textio::PrintStringValue(0, "Wellenl\x84nge", textio::kMaskLineEnd);
    const std::string_view prompt = "x = ";
    std::string line;
    if (textio::ConsoleLineInput(&prompt, &line, 1, 1) != 0) fail("no line");
    if (line != "0.3127") fail("the line is \"" + line + "\"");
    textio::TerminalFlush();

    // The console shows the text as Unicode and the edited line.
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen, &info);
    std::wstring text;
    for (SHORT y = 0; y < info.dwSize.Y && y < 10; ++y) {
        std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
        DWORD got = 0;
        ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(row.size()), {0, y},
                                    &got);
        row.resize(got);
        while (!row.empty() && row.back() == L' ') row.pop_back();
        text += row + L"\n";
    }
    if (text.find(L"Wellenl\u00e4nge\n") == std::wstring::npos ||
        text.find(L"x = ? 0.3127\n") == std::wstring::npos || text.find(L'\x1b') != text.npos) {
        std::string shown;
        for (wchar_t c : text) shown.push_back(c < 128 ? static_cast<char>(c) : '#');
        fail("the console shows:\n" + shown);
    }
    std::_Exit(0);
}

// Under Wine a console needs a display (its window); on Windows there is
// always one.
TEST(ConsoleTerminalTest, TheLineEditorRunsOnAConsole) {
    if (!WindowsCanBeMade()) GTEST_SKIP() << "no display here, and the console needs one";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(EditOnAConsole(), ::testing::ExitedWithCode(0), "");
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
    EXPECT_EQ(platform::NativeFileName("a/b/c.txt"), "a\\b\\c.txt");
    EXPECT_EQ(platform::NativeFileName("C:/x\\y"), "C:\\x\\y");
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
