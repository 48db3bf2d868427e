// The line editor in the text window: every key of the editor on the Null
// screen, with the screen (text shadow, cursor, cursor mark) checked after each
// key. Keys arrive through the key buffer: the editor's 25 ms wait sleeps
// through an injected sleep that posts the next scripted key.
#include "textio/edit_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gfxwin/console/graphics_line_input.h"
#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/text/text_console.h"
#include "gfxwin/text/text_engine.h"
#include "support/screen_dump.h"
#include "textio/beep.h"
#include "textio/input_context.h"
#include "textio/last_error.h"
#include "textio/line_input.h"
#include "textio/locate.h"
#include "textio/print.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"
#include "textio/sleep.h"

namespace gfxwin {
namespace {

namespace key = textio::editkey;
using testing::ShadowRows;

constexpr int32_t kF1 = 255 + 256 * 59;
constexpr int32_t kCloseButton = 255 + 256 * 107;
constexpr uint8_t kWhite = 15;

// What the screen shows while the editor waits for a key.
struct Snapshot {
    std::vector<std::string> rows;  // text shadow
    int32_t column = 0;             // cursor, 1-based
    int32_t row = 0;
    int sleptMs = 0;
    std::vector<uint8_t> cursorCell;  // pixels of the cursor cell, row by row
    int litBottomLines = 0;           // cells whose bottom pixel row is all foreground
};

struct Script {
    std::vector<int32_t> keys;
    size_t next = 0;
    std::vector<Snapshot> waits;
    int beeps = 0;
    int beepHz = 0;
    int beepMs = 0;
};

Script gScript;

bool BottomLineLit(int32_t column, int32_t row);

Snapshot TakeSnapshot(int milliseconds) {
    Snapshot shot{ShadowRows(), CursorColumn(), CursorRow(), milliseconds, {}, 0};
    const int32_t x0 = (shot.column - 1) * 8;
    const int32_t y0 = (shot.row - 1) * 16;
    for (int32_t y = y0; y < y0 + 16; ++y) {
        for (int32_t x = x0; x < x0 + 8; ++x) shot.cursorCell.push_back(testing::PixelAt(x, y));
    }
    for (int32_t r = 0; r < 30; ++r) {
        for (int32_t c = 0; c < 80; ++c) shot.litBottomLines += BottomLineLit(c, r);
    }
    return shot;
}

void ScriptedSleep(int milliseconds) {
    gScript.waits.push_back(TakeSnapshot(milliseconds));
    if (gScript.next < gScript.keys.size()) {
        PostKey(gScript.keys[gScript.next++]);
    } else {
        ADD_FAILURE() << "the editor waits for a key after the script ended";
        PostKey(key::kEnter);
    }
}

void CountBeep(int hz, int ms) {
    ++gScript.beeps;
    gScript.beepHz = hz;
    gScript.beepMs = ms;
}

// True when the bottom pixel row of the 0-based cell is all foreground.
bool BottomLineLit(int32_t column, int32_t row) {
    const int32_t y = row * 16 + 15;
    for (int32_t x = column * 8; x < column * 8 + 8; ++x) {
        if (testing::PixelAt(x, y) != kWhite) return false;
    }
    return true;
}

// Compares pixel rows 0..14 of the 0-based cell with the glyph of `code`.
bool UpperRowsShow(int32_t column, int32_t row, uint8_t code) {
    const ScreenState* s = CurrentScreen();
    const FontDesc* font = s->font;
    for (int32_t gy = 0; gy < 15; ++gy) {
        const uint8_t bits = font->glyphs[code * font->height + gy];
        for (int32_t gx = 0; gx < 8; ++gx) {
            const uint8_t want = (bits >> gx) & 1 ? kWhite : 0;
            if (testing::PixelAt(column * 8 + gx, row * 16 + gy) != want) return false;
        }
    }
    return true;
}

class LineEditorTest : public testing::NullScreenKeyTest {
  protected:
    void SetUp() override {
        NullScreenKeyTest::SetUp();
        textio::ScreenInit();
        gScript = Script{};
        previousSleep_ = textio::SetSleepFunction(ScriptedSleep);
        previousBeep_ = textio::SetBeepService(CountBeep);
    }
    void TearDown() override {
        textio::SetSleepFunction(previousSleep_);
        textio::SetBeepService(previousBeep_);
        NullScreenKeyTest::TearDown();
    }

    // Prints `prompt` at the 1-based row and column, then edits with `keys`.
    static std::string Edit(int32_t row, int32_t column, const std::string& prompt,
                            std::vector<int32_t> keys) {
        Locate(row, column, 0);
        textio::PrintStringValue(0, prompt, textio::kMaskNone);
        gScript.keys = std::move(keys);
        const std::optional<std::string> line = textio::EditLine(true);
        EXPECT_TRUE(line.has_value());
        EXPECT_EQ(gScript.next, gScript.keys.size()) << "keys left unread";
        return line.value_or("<none>");
    }

    static std::vector<int32_t> Keys(const std::string& typed) {
        std::vector<int32_t> keys;
        for (const char c : typed) keys.push_back(static_cast<unsigned char>(c));
        return keys;
    }

    // "abc...xyzabc..." of `count` letters.
    static std::string Letters(int count) {
        std::string letters;
        for (int i = 0; i < count; ++i) letters.push_back(static_cast<char>('a' + i % 26));
        return letters;
    }

  private:
    textio::SleepFunction previousSleep_ = nullptr;
    textio::BeepService previousBeep_ = nullptr;
};

// One wait of the editor: the text of one screen row (without the mark) and
// the cursor that carries the mark.
struct Step {
    std::string rowText;  // the row of the cursor, trailing blanks left out
    int32_t column;
    int32_t row;
};

std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// Checks one wait: the mark stands on the cursor cell (shadow code 255, bottom
// pixel row lit, the character under it still drawn above), nowhere else, and
// the row reads as expected once the mark is taken out.
void ExpectWait(size_t index, const Step& want) {
    SCOPED_TRACE("wait " + std::to_string(index));
    ASSERT_LT(index, gScript.waits.size());
    const Snapshot& got = gScript.waits[index];
    EXPECT_EQ(got.sleptMs, textio::kEditKeyPollMs);
    ASSERT_EQ(got.column, want.column);
    ASSERT_EQ(got.row, want.row);
    std::string row = got.rows[static_cast<size_t>(want.row - 1)];
    EXPECT_EQ(static_cast<uint8_t>(row[static_cast<size_t>(want.column - 1)]), 255);
    const size_t under = static_cast<size_t>(want.column - 1);
    const char shown = under < want.rowText.size() ? want.rowText[under] : ' ';
    row[under] = shown;
    EXPECT_EQ(TrimRight(row), TrimRight(want.rowText));
    int marks = 0;
    for (const std::string& r : got.rows) {
        for (const char c : r) marks += static_cast<uint8_t>(c) == 255;
    }
    EXPECT_EQ(marks, 1);
    EXPECT_EQ(got.litBottomLines, 1);
    // Pixels: the glyph of the character under the mark in rows 0..14, the
    // mark in colour 15 on row 15.
    const FontDesc* font = CurrentScreen()->font;
    for (int32_t gy = 0; gy < 16; ++gy) {
        const uint8_t bits = font->glyphs[static_cast<uint8_t>(shown) * font->height + gy];
        for (int32_t gx = 0; gx < 8; ++gx) {
            const uint8_t wantPixel = gy == 15 ? kWhite : ((bits >> gx) & 1 ? kWhite : 0);
            ASSERT_EQ(got.cursorCell[static_cast<size_t>(gy * 8 + gx)], wantPixel)
                << "pixel " << gx << "," << gy << " of the cursor cell";
        }
    }
}

TEST_F(LineEditorTest, TypingMovingAndDeletingOnOneRow) {
    const std::vector<int32_t> keys = {'a',
                                       'b',
                                       'c',
                                       key::kLeft,
                                       key::kLeft,
                                       'X',
                                       key::kHome,
                                       key::kBackspace,
                                       key::kLeft,
                                       key::kDelete,
                                       key::kEnd,
                                       key::kDelete,
                                       key::kBackspace,
                                       key::kEnter};
    const std::vector<Step> steps = {
        {"x? ", 4, 5},     {"x? a", 5, 5},    {"x? ab", 6, 5},
        {"x? abc", 7, 5},  {"x? abc", 6, 5},  {"x? abc", 5, 5},
        {"x? aXbc", 6, 5}, {"x? aXbc", 4, 5}, {"x? aXbc", 4, 5},  // Backspace at pos 0: nothing
        {"x? aXbc", 4, 5},                                        // Left at pos 0: nothing
        {"x? Xbc", 4, 5},  {"x? Xbc", 7, 5},  {"x? Xbc", 7, 5},   // Delete at the end: a beep only
        {"x? Xb", 6, 5}};
    EXPECT_EQ(Edit(5, 1, "x? ", keys), "Xb");
    ASSERT_EQ(gScript.waits.size(), steps.size());
    for (size_t i = 0; i < steps.size(); ++i) ExpectWait(i, steps[i]);
    EXPECT_EQ(gScript.beeps, 1);
    EXPECT_EQ(gScript.beepHz, 1000);
    EXPECT_EQ(gScript.beepMs, 250);
    // After Enter the mark is gone and the cursor stands after the line.
    EXPECT_EQ(TrimRight(ShadowRows()[4]), "x? Xb");
    EXPECT_EQ(CursorColumn(), 6);
    EXPECT_EQ(CursorRow(), 5);
    EXPECT_FALSE(BottomLineLit(5, 4));
}

TEST_F(LineEditorTest, MarkLiesUnderTheCharacterWithoutHidingIt) {
    gScript.keys = {};
    Locate(3, 1, 0);
    // Stop in the middle of "abc" and look at the cell of 'b'.
    const std::vector<int32_t> keys = {'a', 'b', 'c', key::kLeft, key::kLeft};
    gScript.keys = keys;
    gScript.keys.push_back(key::kEnter);
    struct Peek {
        static void Sleep(int ms) {
            if (gScript.next == 5) {
                EXPECT_TRUE(BottomLineLit(1, 2));
                EXPECT_TRUE(UpperRowsShow(1, 2, 'b'));
                EXPECT_FALSE(BottomLineLit(2, 2));
                EXPECT_TRUE(UpperRowsShow(2, 2, 'c'));
            }
            ScriptedSleep(ms);
        }
    };
    textio::SetSleepFunction(Peek::Sleep);
    EXPECT_EQ(textio::EditLine(true), "abc");
    // Enter erased the mark by printing 'b' again: the whole cell is the glyph.
    EXPECT_EQ(testing::CellMismatch(1, 2, 'b', kWhite, 0), "");
    EXPECT_EQ(CursorColumn(), 4);
}

struct TabCase {
    const char* name;
    std::vector<int32_t> keys;
    std::string line;
    int32_t column;  // cursor after Enter, row 2
};

class LineEditorTabTest : public LineEditorTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(LineEditorTabTest, TabStopsCountFromTheStartOfTheTypedText) {
    const TabCase& c = GetParam();
    std::vector<int32_t> keys = c.keys;
    keys.push_back(key::kEnter);
    // The prompt takes 5 columns, so tab stops of the line are not screen stops.
    EXPECT_EQ(Edit(2, 1, "abcd:", keys), c.line);
    EXPECT_EQ(CursorColumn(), c.column);
    EXPECT_EQ(CursorRow(), 2);
    EXPECT_EQ(TrimRight(ShadowRows()[1]), TrimRight("abcd:" + c.line));
}

INSTANTIATE_TEST_SUITE_P(
    Tabs, LineEditorTabTest,
    ::testing::Values(TabCase{"AtPos3FiveBlanks", {'a', 'b', 'c', key::kTab, 'z'}, "abc     z", 15},
                      TabCase{"AtPos8EightBlanks",
                              {'1', '2', '3', '4', '5', '6', '7', '8', key::kTab, 'z'},
                              "12345678        z",
                              23},
                      TabCase{"AtPos0EightBlanks", {key::kTab, 'z'}, "        z", 15},
                      TabCase{"InTheMiddleShiftsTheTail",
                              {'a', 'b', key::kHome, key::kRight, key::kTab},
                              "a       b",
                              15}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineEditorTest, EscapeBlanksTheTypedTextAndEmptiesTheLine) {
    const std::vector<int32_t> keys = {'h',          'e',        'l',        'l',
                                       'o',          key::kLeft, key::kLeft, key::kEscape,
                                       key::kEscape, 'z',        key::kEnter};
    EXPECT_EQ(Edit(7, 1, "y? ", keys), "z");
    ExpectWait(8, Step{"y? ", 4, 7});  // after the first Escape
    ExpectWait(9, Step{"y? ", 4, 7});  // Escape on an empty line changes nothing
    EXPECT_EQ(TrimRight(ShadowRows()[6]), "y? z");
}

TEST_F(LineEditorTest, UpAndDownMoveOneScreenRowWithinTheLine) {
    const std::string typed = Letters(100);
    std::vector<int32_t> keys = Keys(typed);
    // pos 100 is cell 103 from the start of row 5: column 24 of row 6.
    const std::vector<int32_t> moves = {key::kUp,   key::kUp,   key::kDown, key::kDown, key::kLeft,
                                        key::kDown, key::kHome, key::kDown, key::kUp};
    keys.insert(keys.end(), moves.begin(), moves.end());
    keys.push_back(key::kEnter);
    EXPECT_EQ(Edit(5, 1, "x? ", keys), typed);
    const size_t first = 100;  // the wait after the last typed character
    const std::vector<std::pair<int32_t, int32_t>> cursor = {{24, 6},  // typed
                                                             {24, 5},  // Up: pos 20
                                                             {24, 5},  // Up with pos < 80: nothing
                                                             {24, 6},  // Down: pos 100
                                                             {24, 6},  // Down past the end: nothing
                                                             {23, 6},  // Left: pos 99
                                                             {23, 6},  // Down: 179 > 100, nothing
                                                             {4, 5},   // Home
                                                             {4, 6},   // Down: pos 80
                                                             {4, 5}};  // Up: pos 0
    for (size_t i = 0; i < cursor.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(gScript.waits[first + i].column, cursor[i].first);
        EXPECT_EQ(gScript.waits[first + i].row, cursor[i].second);
    }
    // Enter from pos 0 leaves the cursor after the line.
    EXPECT_EQ(CursorColumn(), 24);
    EXPECT_EQ(CursorRow(), 6);
}

TEST_F(LineEditorTest, TypingPastColumn80ContinuesOnTheNextRow) {
    const std::vector<int32_t> keys = {'a', 'b',        'c',        'd', 'e',
                                       'f', key::kLeft, key::kLeft, 'X', key::kEnter};
    EXPECT_EQ(Edit(5, 76, "", keys), "abcdXef");
    ExpectWait(5, Step{"", 1, 6});  // "abcde" filled columns 76..80
    ExpectWait(6, Step{"f", 2, 6});
    ExpectWait(8, Step{std::string(75, ' ') + "abcde", 80, 5});  // Left across the row end
    ExpectWait(9, Step{"ef", 1, 6});                             // 'X' took column 80
    EXPECT_EQ(ShadowRows()[4].substr(75), "abcdX");
    EXPECT_EQ(TrimRight(ShadowRows()[5]), "ef");
}

TEST_F(LineEditorTest, TypingPastTheLastCellScrollsAndTheMarkFollows) {
    Locate(1, 1, 0);
    textio::PrintStringValue(0, "first row", textio::kMaskLineEnd);
    textio::PrintStringValue(0, "second row", textio::kMaskNone);
    const std::vector<int32_t> keys = {'a',        'b',        'c', 'd',
                                       key::kLeft, key::kLeft, 'X', key::kEnter};
    EXPECT_EQ(Edit(30, 78, "", keys), "abXcd");
    // 'c' went into the last cell: the view scrolled one row, the mark is on
    // column 1 of row 30.
    ExpectWait(3, Step{"", 1, 30});
    EXPECT_EQ(TrimRight(gScript.waits[3].rows[0]), "second row");
    EXPECT_EQ(gScript.waits[3].rows[28].substr(77), "abc");
    ExpectWait(4, Step{"d", 2, 30});
    ExpectWait(6, Step{std::string(77, ' ') + "abc", 80, 29});
    // Inserting before the last cell of row 29 pushes the tail onto row 30
    // without scrolling again.
    ExpectWait(7, Step{"cd", 1, 30});
    EXPECT_EQ(ShadowRows()[28].substr(77), "abX");
    EXPECT_EQ(TrimRight(ShadowRows()[0]), "second row");
    EXPECT_EQ(TrimRight(ShadowRows()[29]), "cd");
}

TEST_F(LineEditorTest, InsertingThatPushesTheTailBelowTheLastRowKeepsTheCursorOnItsCharacter) {
    const std::string tail = Letters(79);
    std::vector<int32_t> keys = Keys(tail);
    keys.push_back(key::kHome);
    keys.push_back('X');  // tail ends exactly in the last cell: no scroll
    keys.push_back('Y');  // tail passes the last cell: the view scrolls
    keys.push_back(key::kEnter);
    EXPECT_EQ(Edit(30, 1, "", keys), "XY" + tail);
    ExpectWait(80, Step{tail, 1, 30});        // Home
    ExpectWait(81, Step{"X" + tail, 2, 30});  // no scroll yet
    ExpectWait(82, Step{"XY" + tail.substr(0, 78), 3, 29});
    EXPECT_EQ(TrimRight(gScript.waits[82].rows[29]), tail.substr(78));
    // Enter put the cursor after the end of the line.
    EXPECT_EQ(CursorColumn(), 2);
    EXPECT_EQ(CursorRow(), 30);
}

TEST_F(LineEditorTest, EnterByLineFeedAndAByte255AreOrdinary) {
    const std::vector<int32_t> keys = {'a', 255, 'b', key::kLineFeed};
    EXPECT_EQ(Edit(4, 1, "", keys),
              "a\xFF"
              "b");
    EXPECT_EQ(ShadowRows()[3].substr(0, 3),
              "a\xFF"
              "b");
    // The scanner keeps byte 255 inside the item.
    textio::CurrentInputContext().text =
        "a\xFF"
        "b";
    textio::CurrentInputContext().position = 0;
    const textio::Item item = textio::NextItem();
    EXPECT_EQ(std::string(item.bytes, static_cast<size_t>(item.length)),
              "a\xFF"
              "b");
}

TEST_F(LineEditorTest, KeysOutsideTheTableChangeNothing) {
    const std::vector<int32_t> keys = {'o',
                                       'k',
                                       kCloseButton,
                                       kF1,
                                       7,
                                       1,
                                       31,
                                       0,
                                       255 + 256 * 73,  // Page Up
                                       key::kEnter};
    EXPECT_EQ(Edit(6, 1, "", keys), "ok");
    for (size_t i = 2; i < gScript.waits.size(); ++i) ExpectWait(i, Step{"ok", 3, 6});
    EXPECT_EQ(gScript.beeps, 0);
}

TEST_F(LineEditorTest, EditorStartsAfterAPromptThatLeftALineFeedPending) {
    // A prompt that ends exactly in the last cell parks the cursor there; the
    // editor starts on that cell.
    Locate(30, 1, 0);
    textio::PrintStringValue(0, std::string(80, '-'), textio::kMaskNone);
    gScript.keys = {key::kEnter};
    EXPECT_EQ(textio::EditLine(true), "");
    ExpectWait(0, Step{std::string(80, '-'), 80, 30});
    // Taking the mark away prints the character under the cursor: a blank, as
    // the line is empty there.
    EXPECT_EQ(ShadowRows()[29], std::string(79, '-') + " ");
}

struct MoveCase {
    int32_t x, y, d;
    int32_t wantX, wantY;      // what MoveCursor reports
    int32_t screenX, screenY;  // where the screen cursor ends
};

class MoveCursorTest : public LineEditorTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveCursorTest, WrapsInReadingOrder) {
    const MoveCase& c = GetParam();
    Locate(c.y, c.x, 0);
    int32_t x = c.x;
    int32_t y = c.y;
    textio::MoveCursor(&x, &y, c.d, 80, 30);
    EXPECT_EQ(x, c.wantX);
    EXPECT_EQ(y, c.wantY);
    EXPECT_EQ(CursorColumn(), c.screenX);
    EXPECT_EQ(CursorRow(), c.screenY);
    EXPECT_EQ(textio::LastError(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveCursorTest,
    ::testing::Values(MoveCase{10, 5, 3, 13, 5, 13, 5}, MoveCase{80, 5, 1, 1, 6, 1, 6},
                      MoveCase{1, 6, -1, 80, 5, 80, 5}, MoveCase{1, 6, -80, 1, 5, 1, 5},
                      MoveCase{1, 6, -81, 80, 4, 80, 4}, MoveCase{5, 6, -165, 80, 3, 80, 3},
                      MoveCase{5, 3, 240, 5, 6, 5, 6}, MoveCase{7, 7, 0, 7, 7, 7, 7},
                      // Just below the last row: the view scrolls, the cursor stays
                      // on row 30 while the result says row 31.
                      MoveCase{80, 30, 1, 1, 31, 1, 30},
                      // Further below: refused, the screen cursor does not move.
                      MoveCase{70, 30, 15, 5, 31, 70, 30}));

TEST_F(LineEditorTest, MoveBelowTheLastRowScrollsExactlyOnce) {
    Locate(1, 1, 0);
    textio::PrintStringValue(0, "top", textio::kMaskNone);
    Locate(30, 1, 0);
    textio::PrintStringValue(0, "bottom", textio::kMaskNone);
    int32_t x = 80;
    int32_t y = 30;
    textio::MoveCursor(&x, &y, 1, 80, 30);
    EXPECT_EQ(TrimRight(ShadowRows()[0]), "");
    EXPECT_EQ(TrimRight(ShadowRows()[28]), "bottom");
    EXPECT_EQ(TrimRight(ShadowRows()[29]), "");
}

TEST_F(LineEditorTest, AdvanceInReadingOrderHasNoRowLimit) {
    int32_t x = 75;
    int32_t y = 30;
    textio::AdvanceInReadingOrder(&x, &y, 170, 80);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 33);
    EXPECT_EQ(CursorRow(), 1);  // nothing moved
}

// Locate with the runtime check.
struct CheckedLocateCase {
    int32_t row, column;
    int32_t wantRow, wantColumn;  // from row 3, column 7
    bool moves;
};

class CheckedLocateTest : public LineEditorTest,
                          public ::testing::WithParamInterface<CheckedLocateCase> {};

TEST_P(CheckedLocateTest, RequestsOutsideTheViewAreRefusedQuietly) {
    const CheckedLocateCase& c = GetParam();
    Locate(3, 7, 0);
    CurrentScreen()->statusFlags |= kStatusPendingLineFeed;
    textio::Runtime().screen.column = 40;
    textio::SetLastError(3);
    textio::LocateChecked(c.row, c.column, 0);
    EXPECT_EQ(CursorRow(), c.wantRow);
    EXPECT_EQ(CursorColumn(), c.wantColumn);
    EXPECT_EQ(textio::LastError(), 0);
    EXPECT_EQ(CurrentScreen()->statusFlags & kStatusPendingLineFeed, 0u);
    const uint32_t wantChannelColumn =
        c.moves && c.column != 0 ? static_cast<uint32_t>(c.column - 1) : 6u;
    EXPECT_EQ(textio::Runtime().screen.column, wantChannelColumn);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, CheckedLocateTest,
    ::testing::Values(CheckedLocateCase{10, 20, 10, 20, true},
                      CheckedLocateCase{30, 80, 30, 80, true},
                      CheckedLocateCase{0, 12, 3, 12, true}, CheckedLocateCase{12, 0, 12, 7, true},
                      CheckedLocateCase{0, 0, 3, 7, true}, CheckedLocateCase{31, 1, 3, 7, false},
                      CheckedLocateCase{5, 81, 3, 7, false}, CheckedLocateCase{-1, 4, 3, 7, false},
                      CheckedLocateCase{4, -2, 3, 7, false}));

TEST_F(LineEditorTest, CheckedLocateFollowsANarrowedTextView) {
    textio::Runtime().view = textio::TextView{4, 9};  // rows 5..10
    Locate(6, 1, 0);
    textio::LocateChecked(4, 2, 0);
    EXPECT_EQ(CursorRow(), 6);
    textio::LocateChecked(11, 2, 0);
    EXPECT_EQ(CursorRow(), 6);
    textio::LocateChecked(10, 2, 0);
    EXPECT_EQ(CursorRow(), 10);
    EXPECT_EQ(CursorColumn(), 2);
}

// The line-input slot of the window.
TEST_F(LineEditorTest, LineInputSlotPrintsPromptEditsAndEndsTheLine) {
    Locate(30, 1, 0);
    textio::PrintStringValue(0, std::string(80, '='), textio::kMaskNone);  // pending line feed
    gScript.keys = Keys("0.3127");
    gScript.keys.push_back(key::kEnter);
    const std::string_view prompt = "x = ";
    textio::LineInput(&prompt, -1, -1);
    EXPECT_EQ(textio::LastError(), 0);
    EXPECT_EQ(textio::CurrentInputContext().text, "0.3127");
    // The forced empty print carried out the pending line feed: one scroll for
    // it and one for the line end after the input.
    const std::vector<std::string> rows = ShadowRows();
    EXPECT_EQ(rows[27], std::string(80, '='));
    EXPECT_EQ(TrimRight(rows[28]), "x = ? 0.3127");
    EXPECT_EQ(TrimRight(rows[29]), "");
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_EQ(CursorRow(), 30);
    EXPECT_EQ(textio::Runtime().screen.column, 0u);
    double x = -1;
    textio::InputReadDouble(&x);
    EXPECT_EQ(x, 0.3127);
}

TEST_F(LineEditorTest, LineInputSlotWithoutPromptOrFlags) {
    gScript.keys = {'7', key::kEnter};
    std::string line = "old";
    Locate(2, 3, 0);
    EXPECT_EQ(GraphicsLineInput(nullptr, &line, -1, 0, -1, 0), 0);
    EXPECT_EQ(line, "7");
    EXPECT_EQ(TrimRight(ShadowRows()[1]), "  7");  // no "? " without a prompt
    EXPECT_EQ(CursorColumn(), 4);                  // no line end
    EXPECT_EQ(CursorRow(), 2);
    // An empty prompt prints nothing, but the question still follows it.
    gScript = Script{};
    gScript.keys = {'8', key::kEnter};
    const std::string_view empty;
    EXPECT_EQ(GraphicsLineInput(&empty, &line, -1, 0, -1, 0), 0);
    EXPECT_EQ(TrimRight(ShadowRows()[1]), "  7? 8");
}

TEST_F(LineEditorTest, WideLineInputSlotConvertsLikeTheWidePrint) {
    gScript.keys = {'a', 0x84, key::kEnter};
    const std::u16string_view prompt = u"W\u00e4rme \u20ac \U0001F600=";
    std::u16string line = u"old";
    Locate(3, 1, 0);
    EXPECT_EQ(GraphicsLineInputWide(&prompt, &line, -1, 0, -1, -1), 0);
    EXPECT_EQ(line, std::u16string(u"a\u0084"));
    EXPECT_EQ(TrimRight(ShadowRows()[2]), "W\xe4rme ? ?=? a\x84");
    EXPECT_EQ(CursorRow(), 4);
    EXPECT_EQ(NarrowForScreen(u"\xD800"), "?");  // a lone high surrogate at the end
}

}  // namespace
}  // namespace gfxwin
