// Keys from a terminal: escape sequences decoded into extended key codes, and
// the key reads and waits of terminal mode taking a sequence as one key.
#include "textio/terminal_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/terminal_capture.h"
#include "textio/key_wait.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"
#include "textio/terminal.h"

namespace {

using textio::ExtendedKeyCode;

// Every key code in `typed`, read until the input ends.
std::vector<int32_t> Decode(const std::string& typed, bool utf8 = false) {
    testsupport::TerminalCapture terminal(typed, utf8);
    std::vector<int32_t> codes;
    for (int32_t code = textio::TerminalReadKeyCode(-1); code >= 0;
         code = textio::TerminalReadKeyCode(-1)) {
        codes.push_back(code);
    }
    return codes;
}

struct DecodeCase {
    const char* name;
    std::string typed;
    std::vector<int32_t> codes;
};

class TerminalKeyDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(TerminalKeyDecodeTest, SequencesBecomeKeyCodes) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(Decode(c.typed), c.codes);
}

const int32_t kUp = ExtendedKeyCode(72);
const int32_t kDown = ExtendedKeyCode(80);
const int32_t kLeft = ExtendedKeyCode(75);
const int32_t kRight = ExtendedKeyCode(77);
const int32_t kHome = ExtendedKeyCode(71);
const int32_t kEnd = ExtendedKeyCode(79);
const int32_t kInsert = ExtendedKeyCode(82);
const int32_t kDelete = ExtendedKeyCode(83);
const int32_t kPageUp = ExtendedKeyCode(73);
const int32_t kPageDown = ExtendedKeyCode(81);

int32_t F(int n) {
    return ExtendedKeyCode(n <= 10 ? 58 + n : 122 + n);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, TerminalKeyDecodeTest,
    ::testing::Values(
        DecodeCase{"Arrows", "\x1b[A\x1b[B\x1b[C\x1b[D", {kUp, kDown, kRight, kLeft}},
        DecodeCase{
            "ArrowsApplicationMode", "\x1bOA\x1bOB\x1bOC\x1bOD", {kUp, kDown, kRight, kLeft}},
        DecodeCase{"HomeEnd", "\x1b[H\x1b[F\x1bOH\x1bOF", {kHome, kEnd, kHome, kEnd}},
        DecodeCase{"EditingBlock",
                   "\x1b[1~\x1b[2~\x1b[3~\x1b[4~\x1b[5~\x1b[6~\x1b[7~\x1b[8~",
                   {kHome, kInsert, kDelete, kEnd, kPageUp, kPageDown, kHome, kEnd}},
        DecodeCase{"F1ToF4", "\x1bOP\x1bOQ\x1bOR\x1bOS", {F(1), F(2), F(3), F(4)}},
        DecodeCase{"F1ToF5Numbered",
                   "\x1b[11~\x1b[12~\x1b[13~\x1b[14~\x1b[15~",
                   {F(1), F(2), F(3), F(4), F(5)}},
        DecodeCase{"F6ToF12",
                   "\x1b[17~\x1b[18~\x1b[19~\x1b[20~\x1b[21~\x1b[23~\x1b[24~",
                   {F(6), F(7), F(8), F(9), F(10), F(11), F(12)}},
        DecodeCase{"LinuxConsoleF1", "\x1b[[A\x1b[[E", {F(1), F(5)}},
        DecodeCase{"ModifiersAreDropped", "\x1b[1;5C\x1b[3;2~\x1b[1;2P", {kRight, kDelete, F(1)}},
        DecodeCase{"BackspaceForms", "\x7f\x08", {8, 8}},
        DecodeCase{"EnterForms", "\r\n", {13, 10}},
        DecodeCase{"EscapeFollowedByAKey", "\x1bx", {27, 'x'}},
        DecodeCase{"EscapeAtTheEnd", "a\x1b", {'a', 27}},
        DecodeCase{"EscapeThenBracketAtTheEnd", "\x1b[", {27, '['}},
        DecodeCase{"UnknownSequencesAreSkipped", "\x1b[200~a\x1b[99~\x1bOZb", {'a', 'b'}},
        DecodeCase{"BrokenSequenceKeepsTheStrayByte", "\x1b[1\r", {'\r'}},
        DecodeCase{"OverlongParameterNamesNoKey", "\x1b[4294967299~a\x1b[99999999999999A", {'a'}},
        DecodeCase{"HighBytesPassOnAByteTerminal", "\xC3\xA4\xFF", {0xC3, 0xA4, 0xFF}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TerminalKeyUtf8Test, CharactersBecomeCodePage437Bytes) {
    // "ä", "ß", the euro sign (none: "?"), "░", a stray continuation byte ("?").
    EXPECT_EQ(Decode("\xC3\xA4\xC3\x9F\xE2\x82\xAC\xE2\x96\x91\xA4z", true),
              (std::vector<int32_t>{0x84, 0xE1, '?', 0xB0, '?', 'z'}));
    // A character cut short by the next key is a "?" and keeps that key.
    EXPECT_EQ(Decode("\xC3"
                     "a",
                     true),
              (std::vector<int32_t>{'?', 'a'}));
}

TEST(TerminalKeyTest, LoneEscapeIsTheEscapeKeyWhenNothingFollows) {
    testsupport::TerminalCapture terminal("\x1b", false, true);
    EXPECT_EQ(textio::TerminalReadKeyCode(-1), 27);
    // Bytes that come later are keys of their own.
    terminal.Type("[A");
    EXPECT_EQ(textio::TerminalReadKeyCode(-1), '[');
    EXPECT_EQ(textio::TerminalReadKeyCode(-1), 'A');
    EXPECT_EQ(textio::TerminalReadKeyCode(0), textio::kTimedOut);
}

TEST(TerminalKeyTest, KeyCodeTextIsOneOrTwoBytes) {
    char text[2] = {0, 0};
    EXPECT_EQ(textio::KeyCodeText('a', text), 1u);
    EXPECT_EQ(text[0], 'a');
    EXPECT_EQ(textio::KeyCodeText(255, text), 1u);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 255);
    EXPECT_EQ(textio::KeyCodeText(kLeft, text), 2u);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 255);
    EXPECT_EQ(text[1], 75);
}

class TerminalKeyWaitTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::ResetRuntimeForTest(); }
    void TearDown() override { testsupport::ResetRuntimeForTest(); }
};

TEST_F(TerminalKeyWaitTest, ReadCharsOfAnArrowLeavesItsSecondByte) {
    testsupport::TerminalCapture terminal("\x1b[Dz");
    EXPECT_EQ(textio::ReadChars(1, 0), "\xFF");
    const auto* keys = static_cast<textio::KeyTextBuffer*>(textio::Runtime().screen.stream);
    ASSERT_EQ(keys->count, 1);
    EXPECT_EQ(keys->text[0], 75);
    EXPECT_EQ(textio::ReadChars(2, 0), "Kz");
}

TEST_F(TerminalKeyWaitTest, PauseTakesAWholeSequenceAsOneKey) {
    testsupport::TerminalCapture terminal("\x1b[15~q");
    textio::Pause(-1);
    EXPECT_EQ(textio::ReadChars(1, 0), "q");
    testsupport::TerminalCapture timed(
        "\x1b[A"
        "r");
    textio::Pause(5000);  // a key is there: ends at once, taking the arrow
    EXPECT_EQ(textio::ReadChars(1, 0), "r");
}

}  // namespace
