// Line input on an interactive terminal: the line editor runs there without
// the cursor mark, reads keys in raw mode and decodes the terminal's escape
// sequences. Each test types into a pseudo-terminal and replays what the
// program wrote on a small terminal screen.
#include <gtest/gtest.h>
#include <termios.h>

#include <string>

#include "support/pseudo_terminal.h"
#include "support/terminal_capture.h"
#include "support/vt_screen.h"
#include "textio/console.h"
#include "textio/edit_line.h"
#include "textio/input_context.h"
#include "textio/last_error.h"
#include "textio/line_input.h"
#include "textio/runtime_state.h"

namespace {

using testsupport::PseudoTerminal;
using testsupport::VtScreen;

const std::string kLeft = "\x1b[D";
const std::string kRight = "\x1b[C";
const std::string kUp = "\x1b[A";
const std::string kDelete = "\x1b[3~";

class TerminalEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::ResetRuntimeForTest();
        ASSERT_TRUE(pty_.ok());
        textio::ClearScreen();  // the screen and the console's cursor start at the top left
    }
    void TearDown() override { testsupport::ResetRuntimeForTest(); }

    // Runs one line input with the prompt "x = " while `keys` are typed, and
    // replays the output on the screen. Returns the typed line.
    std::string Input(const std::string& keys) {
        pty_.TypeWhenRaw(keys);
        const std::string_view prompt = "x = ";
        textio::LineInput(&prompt, -1, -1);
        screen_.Feed(pty_.TakeOutput());
        return textio::CurrentInputContext().text;
    }

    PseudoTerminal pty_;
    VtScreen screen_{80, 25};
};

struct EditCase {
    const char* name;
    std::string keys;
    std::string line;
    int bells;
};

class TerminalEditCase : public TerminalEditorTest,
                         public ::testing::WithParamInterface<EditCase> {};

TEST_P(TerminalEditCase, LineAndScreenAgree) {
    const EditCase& c = GetParam();
    EXPECT_EQ(Input(c.keys), c.line);
    EXPECT_EQ(textio::LastError(), 0);
    // The screen shows the prompt and the line; the line end moved to row 2.
    std::string shown = "x = ? " + c.line;
    while (shown.back() == ' ') shown.pop_back();
    EXPECT_EQ(screen_.Row(1), shown);
    EXPECT_EQ(screen_.Row(2), "");
    EXPECT_EQ(screen_.CursorRow(), 2);
    EXPECT_EQ(screen_.CursorColumn(), 1);
    EXPECT_TRUE(screen_.CursorVisible());
    EXPECT_EQ(screen_.Bells(), c.bells);
    // Raw mode ended with the input.
    EXPECT_TRUE(pty_.InCookedMode());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TerminalEditCase,
    ::testing::Values(
        EditCase{"PlainTyping", "0.3127\r", "0.3127", 0},
        EditCase{"EnterAsLineFeed", "12\n", "12", 0},
        EditCase{"InsertInTheMiddle", "abd" + kLeft + "c\r", "abcd", 0},
        EditCase{"LeftAndRight", "ac" + kLeft + kLeft + kRight + "b\r", "abc", 0},
        EditCase{"LeftStopsAtTheStart", "b" + kLeft + kLeft + kLeft + "a\r", "ab", 0},
        EditCase{"HomeAndEndXterm", "bc\x1b[Ha\x1b[Fd\r", "abcd", 0},
        EditCase{"HomeAndEndApplicationMode", "bc\x1bOHa\x1bOFd\r", "abcd", 0},
        EditCase{"HomeAndEndVt", "bc\x1b[1~a\x1b[4~d\r", "abcd", 0},
        EditCase{"DeleteInTheMiddle", "abxc" + kLeft + kLeft + kDelete + "\r", "abc", 0},
        EditCase{"DeleteAtTheEndRingsTheBell", "ab" + kDelete + "\r", "ab", 1},
        EditCase{"BackspaceAsDelAndAsCtrlH",
                 "abcd\x7f\x08"
                 "e\r",
                 "abe", 0},
        EditCase{"BackspaceInTheMiddle", "abxc" + kLeft + "\x7f\r", "abc", 0},
        EditCase{"EscapeThenAKey", "abc\x1bxy\r", "xy", 0},
        EditCase{"EscapeBeforeEnter", "abc\x1b\r", "", 0},
        EditCase{"FunctionAndPageKeysAreIgnored",
                 "a\x1bOP\x1b[11~\x1b[15~\x1b[24~\x1b[5~\x1b[6~\x1b[2~\x1b[[Ab\r", "ab", 0},
        EditCase{"UnknownSequencesAreSkipped", "a\x1b[200~b\x1b[201~\r", "ab", 0},
        EditCase{"ModifiedArrowCountsAsTheArrow",
                 "ac\x1b[1;5D"
                 "b\r",
                 "abc", 0},
        EditCase{"TabInsertsBlanksToTheNextStop", "ab\tc\r", "ab      c", 0},
        EditCase{"UpWithinTheFirstRowDoesNothing", "ab" + kUp + "c\r", "abc", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TerminalEditorTest, LongLineWrapsAndUpMovesOneRowBack) {
    std::string typed;
    for (int i = 0; i < 85; ++i) typed.push_back(static_cast<char>('a' + i % 26));
    // pos 85 -> Up -> pos 5: 'X' goes before the sixth character.
    const std::string line = Input(typed + kUp + "X\r");
    const std::string want = typed.substr(0, 5) + "X" + typed.substr(5);
    EXPECT_EQ(line, want);
    const std::string shown = "x = ? " + want;  // 92 cells
    EXPECT_EQ(screen_.Row(1), shown.substr(0, 80));
    EXPECT_EQ(screen_.Row(2), shown.substr(80));
    EXPECT_EQ(screen_.CursorRow(), 3);
    EXPECT_EQ(screen_.CursorColumn(), 1);
}

TEST_F(TerminalEditorTest, TypingPastTheBottomRowScrolls) {
    // Fill the screen down to the last row, then type past its end.
    pty_.TakeOutput();
    for (int r = 0; r < 24; ++r) textio::ConsolePrintBytes("\r\n", 2, 0);
    screen_.Feed(pty_.TakeOutput());
    const std::string typed(80, 'q');
    const std::string line = Input(typed + "rs" + kLeft + kLeft + kLeft + "P\r");
    EXPECT_EQ(line, std::string(79, 'q') + "Pqrs");
    // The prompt started on row 25: typing past its end scrolled once, the
    // line end once more.
    EXPECT_EQ(screen_.Row(23), "x = ? " + std::string(74, 'q'));
    EXPECT_EQ(screen_.Row(24), "qqqqqPqrs");
    EXPECT_EQ(screen_.Row(25), "");
    EXPECT_EQ(screen_.CursorRow(), 25);
    EXPECT_EQ(screen_.CursorColumn(), 1);
}

TEST_F(TerminalEditorTest, TwoInputsInARow) {
    EXPECT_EQ(Input("1\r"), "1");
    EXPECT_EQ(Input("22" + kLeft + "3\r"), "232");
    EXPECT_EQ(screen_.Row(1), "x = ? 1");
    EXPECT_EQ(screen_.Row(2), "x = ? 232");
    EXPECT_EQ(screen_.CursorRow(), 3);
}

TEST(TerminalEditorEndTest, EndOfInputFinishesTheLine) {
    testsupport::ResetRuntimeForTest();
    testsupport::TerminalCapture terminal(
        "ab"
        "\x1b[D"
        "c");
    EXPECT_EQ(textio::EditLine(false), "acb");
    testsupport::ResetRuntimeForTest();
}

TEST(TerminalPipedLineTest, Utf8BecomesCodePage437AndControlBytesEchoAsGlyphs) {
    testsupport::ResetRuntimeForTest();
    // A title and a bell, a tab, "ä", the euro sign (no code page 437 byte), a
    // stray continuation byte.
    testsupport::TerminalCapture terminal("\x1b]0;t\x07\t\xC3\xA4\xE2\x82\xAC\xA4x\n", true);
    textio::LineInput(nullptr, 0, -1);
    EXPECT_EQ(textio::CurrentInputContext().text, "\x1b]0;t\x07\t\x84??x");
    // Escape and bell show as "←" and "•"; the tab as blanks to column 9.
    EXPECT_EQ(terminal.TakeOutput(), "\xE2\x86\x90]0;t\xE2\x80\xA2  \xC3\xA4??x\r\n");
    testsupport::ResetRuntimeForTest();
}

TEST(TerminalEditorUtf8Test, TypedCharactersBecomeCodePage437) {
    testsupport::ResetRuntimeForTest();
    PseudoTerminal pty(true);
    ASSERT_TRUE(pty.ok());
    // "ä", a character without a code page 437 byte (the euro sign), "°".
    pty.TypeWhenRaw("\xC3\xA4\xE2\x82\xAC\xC2\xB0\r");
    textio::LineInput(nullptr, 0, -1);
    EXPECT_EQ(textio::CurrentInputContext().text, "\x84?\xF8");
    const std::string output = pty.TakeOutput();
    EXPECT_NE(output.find("\xC3\xA4"), std::string::npos);
    EXPECT_EQ(output.find("\xE2\x82\xAC"), std::string::npos);
    testsupport::ResetRuntimeForTest();
}

}  // namespace
