// Reading keys through the screen channel, key waits, and line input in
// terminal mode.
#include "textio/key_wait.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "support/terminal_capture.h"
#include "textio/console.h"
#include "textio/input_context.h"
#include "textio/line_input.h"
#include "textio/print.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"

namespace {

// A scripted keyboard behind the key slots: each entry is one key text.
std::deque<std::string> gKeys;

int ScriptedKeyWaiting() {
    return gKeys.empty() ? 0 : 1;
}

size_t ScriptedReadKeyText(char out[2]) {
    if (gKeys.empty()) return 0;
    const std::string key = gKeys.front();
    gKeys.pop_front();
    for (size_t i = 0; i < key.size(); ++i) out[i] = key[i];
    return key.size();
}

class KeyWaitTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::ResetRuntimeForTest(); }
    void TearDown() override {
        gKeys.clear();
        testsupport::ResetRuntimeForTest();
    }
    void UseScriptedKeys(std::initializer_list<std::string> keys) {
        gKeys.assign(keys.begin(), keys.end());
        textio::Runtime().hooks.keyWaiting = ScriptedKeyWaiting;
        textio::Runtime().hooks.readKeyText = ScriptedReadKeyText;
    }
    textio::KeyTextBuffer* KeyText() {
        return static_cast<textio::KeyTextBuffer*>(textio::Runtime().screen.stream);
    }
};

TEST_F(KeyWaitTest, OrdinaryKeyGivesItsCharacter) {
    testsupport::TerminalCapture terminal;
    UseScriptedKeys({"A"});
    EXPECT_EQ(textio::ReadChars(1, 0), "A");
    EXPECT_EQ(KeyText()->count, 0);
}

TEST_F(KeyWaitTest, ExtendedKeyLeavesItsSecondByteBehind) {
    testsupport::TerminalCapture terminal;
    UseScriptedKeys(
        {"\xFF"
         "K",
         "b"});
    EXPECT_EQ(textio::ReadChars(1, 0), "\xFF");
    EXPECT_EQ(KeyText()->count, 1);
    EXPECT_EQ(KeyText()->text[0], 'K');
    // The next read of the channel takes the byte left behind first.
    EXPECT_EQ(textio::ReadChars(2, 0), "Kb");
}

TEST_F(KeyWaitTest, CloseCodeCountsAsOneKey) {
    testsupport::TerminalCapture terminal;
    UseScriptedKeys(
        {"\xFF"
         "k"});
    EXPECT_EQ(textio::ReadChars(1, 0), "\xFF");
    EXPECT_EQ(KeyText()->text[0], 'k');
}

TEST_F(KeyWaitTest, EmptyKeyTextIsSkipped) {
    testsupport::TerminalCapture terminal;
    UseScriptedKeys({"", "z"});
    EXPECT_EQ(textio::ReadChars(1, 0), "z");
}

TEST_F(KeyWaitTest, CountZeroAndBadChannelsGiveTheEmptyString) {
    testsupport::TerminalCapture terminal("abc");
    EXPECT_EQ(textio::ReadChars(0, 0), "");
    for (int channel : {-2, 256, 3, -1}) EXPECT_EQ(textio::ReadChars(1, channel), "") << channel;
    EXPECT_EQ(textio::ReadChars(1, 0), "a");  // nothing was consumed by the failed reads
}

TEST_F(KeyWaitTest, TerminalKeysAreBytesAndEndOfInputNeverWaits) {
    testsupport::TerminalCapture terminal("xy");
    EXPECT_EQ(textio::ReadChars(1, 0), "x");
    textio::Pause(-1);  // takes "y"
    EXPECT_EQ(textio::ReadChars(1, 0), "");
    textio::Pause(-1);
    EXPECT_EQ(textio::ReadChars(3, 0), "");
}

TEST_F(KeyWaitTest, TimedPauseEndsEarlyOnAKeyFromTheTerminal) {
    testsupport::TerminalCapture terminal("k", false, true);
    textio::Pause(10000);  // a key is already there: returns at once
    textio::Pause(0);
    textio::Pause(-5);
    terminal.Type("m");
    EXPECT_EQ(textio::ReadChars(1, 0), "m");
}

TEST_F(KeyWaitTest, TerminalLineInputPrintsPromptAndEchoesPipedLine) {
    testsupport::TerminalCapture terminal("0.3127\r\nrest\n");
    const std::string_view prompt = "     Farbwertanteil x = ";
    textio::LineInput(&prompt, -1, -1);
    EXPECT_EQ(textio::CurrentInputContext().text, "0.3127");
    EXPECT_EQ(terminal.TakeOutput(), "     Farbwertanteil x = ? 0.3127\r\n");
    EXPECT_EQ(textio::Runtime().screen.column, 0u);
    // Without the question flag, without a line end.
    textio::LineInput(&prompt, 0, 0);
    EXPECT_EQ(textio::CurrentInputContext().text, "rest");
    EXPECT_EQ(terminal.TakeOutput(), "     Farbwertanteil x = rest");
    // At end of input the line is empty.
    textio::LineInput(nullptr, -1, -1);
    EXPECT_EQ(textio::CurrentInputContext().text, "");
    EXPECT_EQ(terminal.TakeOutput(), "\r\n");
}

TEST_F(KeyWaitTest, LineInputDropsWhatWasLeftOfThePreviousLine) {
    testsupport::TerminalCapture terminal("1,2\n3\n");
    textio::LineInput(nullptr, 0, 0);
    double a = 0, b = 0;
    textio::InputReadDouble(&a);
    textio::LineInput(nullptr, 0, 0);
    textio::InputReadDouble(&b);
    EXPECT_EQ(a, 1.0);
    EXPECT_EQ(b, 3.0);
}

TEST_F(KeyWaitTest, Utf8TerminalShowsCodePage437AsUnicode) {
    testsupport::TerminalCapture terminal("", true);
    textio::PrintStringValue(0, "Wellenl\x84nge \xE1 \xC9\xCD\xBB \xF8", 0);
    EXPECT_EQ(terminal.TakeOutput(),
              "Wellenl\xC3\xA4nge \xC3\x9F \xE2\x95\x94\xE2\x95\x90\xE2\x95\x97 \xC2\xB0");
}

TEST_F(KeyWaitTest, ClearScreenResetsTheColumnAndWritesNothingToAPipe) {
    testsupport::TerminalCapture terminal;
    textio::PrintStringValue(0, "abc", 0);
    EXPECT_EQ(textio::Runtime().screen.column, 3u);
    terminal.TakeOutput();
    textio::ClearScreen();
    EXPECT_EQ(textio::Runtime().screen.column, 0u);
    EXPECT_EQ(terminal.TakeOutput(), "");
}

}  // namespace
