// The graphics console operations: locate, clear, cursor and size queries,
// colours, text size, reading cells and 16-bit text.
#include "gfxwin/text/text_console.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfxwin/screen/draw_context.h"
#include "gfxwin/console/graphics_hooks.h"
#include "support/screen_dump.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/text/text_engine.h"
#include "textio/console.h"
#include "textio/print.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"

namespace gfxwin {
namespace {

using testing::ClearDirty;
using testing::DirtyCount;
using testing::RowsAre;
using testing::ShadowRows;

class TextConsoleTest : public testing::NullScreenTest {
  protected:
    void SetUp() override {
        NullScreenTest::SetUp();
        textio::ScreenInit();  // the screen channel follows the cursor from here on
    }
    static void Print(const std::string& text) { PrintText(text.data(), text.size(), 0); }
    static void FillScreen(char c) {
        for (int r = 1; r <= 30; ++r) {
            Locate(r, 1, 0);
            Print(std::string(r == 30 ? 79 : 80, c));
        }
    }
};

struct LocateCase {
    int32_t row, column;       // arguments
    int32_t wantRow, wantCol;  // 1-based, from row 3 column 7
};

class LocateTest : public TextConsoleTest, public ::testing::WithParamInterface<LocateCase> {};

TEST_P(LocateTest, CoordinatesBelowOneAreKept) {
    const LocateCase& c = GetParam();
    Locate(3, 7, 0);
    const int32_t packed = Locate(c.row, c.column, 1);
    EXPECT_EQ(CursorRow(), c.wantRow);
    EXPECT_EQ(CursorColumn(), c.wantCol);
    EXPECT_EQ(packed, 257 + (c.wantCol - 1) + 256 * (c.wantRow - 1));
    EXPECT_EQ(textio::Runtime().screen.column, static_cast<uint32_t>(c.wantCol - 1));
}

INSTANTIATE_TEST_SUITE_P(Positions, LocateTest,
                         ::testing::Values(LocateCase{0, 5, 3, 5}, LocateCase{12, 0, 12, 7},
                                           LocateCase{0, 0, 3, 7}, LocateCase{-4, -1, 3, 7},
                                           LocateCase{30, 80, 30, 80}, LocateCase{1, 1, 1, 1},
                                           // past the grid: held at its edge
                                           LocateCase{31, 200, 30, 80}));

TEST_F(TextConsoleTest, LocateClearsThePendingLineFeed) {
    Locate(30, 1, 0);
    Print(std::string(80, 'p'));
    ASSERT_NE(CurrentScreen()->statusFlags & kStatusPendingLineFeed, 0u);
    Locate(30, 1, 0);
    EXPECT_EQ(CurrentScreen()->statusFlags & kStatusPendingLineFeed, 0u);
    Print("q");
    EXPECT_EQ(ShadowRows()[29], "q" + std::string(79, 'p'));
}

TEST_F(TextConsoleTest, DefaultClearOfTheFullViewClearsEverything) {
    SetColours(15, 4, 0);
    FillScreen('#');
    ClearDirty();
    textio::ClearScreen(textio::kClearDefault);
    EXPECT_TRUE(RowsAre(0, 480, 4));
    EXPECT_EQ(DirtyCount(0, 480), 480);
    for (const std::string& row : ShadowRows()) EXPECT_EQ(row, std::string(80, ' '));
    EXPECT_EQ(ReadCell(40, 15, 1), 15 + 256 * 4);
    EXPECT_EQ(CursorRow(), 1);
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_EQ(textio::Runtime().screen.column, 0u);
    EXPECT_FLOAT_EQ(GetDrawContext().lastPoint[0], 320.0f);
    EXPECT_FLOAT_EQ(GetDrawContext().lastPoint[1], 240.0f);
}

TEST_F(TextConsoleTest, DefaultClearOfANarrowedViewClearsOnlyItsRows) {
    FillScreen('#');
    textio::Runtime().view = textio::TextView{4, 9};  // rows 5 to 10
    ClearDirty();
    const std::vector<uint8_t> above = testing::CopyRows(0, 64);
    const std::vector<uint8_t> below = testing::CopyRows(160, 480);
    textio::ClearScreen(textio::kClearDefault);
    EXPECT_TRUE(RowsAre(64, 160, 0));
    EXPECT_EQ(testing::CopyRows(0, 64), above);
    EXPECT_EQ(testing::CopyRows(160, 480), below);
    EXPECT_EQ(DirtyCount(64, 160), 96);
    EXPECT_EQ(DirtyCount(0, 64) + DirtyCount(160, 480), 0);
    const std::vector<std::string> rows = ShadowRows();
    EXPECT_EQ(rows[3], std::string(80, '#'));
    EXPECT_EQ(rows[4], std::string(80, ' '));
    EXPECT_EQ(rows[9], std::string(80, ' '));
    EXPECT_EQ(rows[10], std::string(80, '#'));
    EXPECT_EQ(CursorRow(), 5);
    EXPECT_EQ(CursorColumn(), 1);
}

TEST_F(TextConsoleTest, ClearModesChooseTheirArea) {
    struct Case {
        uint32_t mode;
        bool shadowCleared;
        int32_t clearedFirst, clearedEnd;  // pixel rows
    };
    for (const Case& c : {Case{0, true, 0, 480}, Case{2, true, 32, 64}, Case{1, false, 0, 480},
                          Case{7, false, 0, 480}}) {
        textio::Runtime().view = textio::TextView{-1, -1};
        FillScreen('#');
        textio::Runtime().view = textio::TextView{2, 3};
        Locate(20, 9, 0);
        ClearGraphicsScreen(c.mode);
        EXPECT_TRUE(RowsAre(c.clearedFirst, c.clearedEnd, 0)) << c.mode;
        if (c.clearedEnd < 480) {
            EXPECT_FALSE(RowsAre(c.clearedEnd, 480, 0)) << c.mode;
        }
        EXPECT_EQ(ShadowRows()[2][8] == '#', !c.shadowCleared) << c.mode;  // inside the view
        // The viewport clear keeps the cursor; the others locate to the view's top.
        EXPECT_EQ(CursorRow(), c.shadowCleared ? 3 : 20) << c.mode;
    }
}

TEST_F(TextConsoleTest, DefaultClearWithAViewportClearsOnlyTheViewport) {
    FillScreen('#');
    DrawContext& ctx = GetDrawContext();
    ctx.viewX = 100;
    ctx.viewY = 50;
    ctx.viewWidth = 200;
    ctx.viewHeight = 30;
    ctx.flags |= kContextViewport;
    ClearDirty();
    textio::ClearScreen(textio::kClearDefault);
    const ScreenState& s = *CurrentScreen();
    int inside = 0;
    int outsideCleared = 0;
    for (int y = 40; y < 90; ++y) {
        for (int x = 90; x < 310; ++x) {
            const bool in = x >= 100 && x < 300 && y >= 50 && y < 80;
            const uint8_t p = s.framebuffer[y * 640 + x];
            if (in) inside += p == 0;
        }
    }
    // The glyph '#' in every cell of row 3 (pixel rows 48..63) has set pixels
    // just outside the viewport's left edge.
    for (int y = 48; y < 64; ++y)
        outsideCleared += testing::PixelAt(96, y) != 0 || testing::PixelAt(97, y) != 0;
    EXPECT_EQ(inside, 200 * 30);
    EXPECT_GT(outsideCleared, 0);
    EXPECT_EQ(DirtyCount(50, 80), 30);
    EXPECT_EQ(DirtyCount(0, 50) + DirtyCount(80, 480), 0);
    EXPECT_EQ(ShadowRows()[4], std::string(80, '#'));
    EXPECT_FLOAT_EQ(ctx.lastPoint[0], 200.0f);
    EXPECT_FLOAT_EQ(ctx.lastPoint[1], 65.0f);
}

TEST_F(TextConsoleTest, CursorAndSizeQueriesFillEitherOutput) {
    Locate(7, 12, 0);
    int32_t col = 0;
    int32_t row = 0;
    CursorPosition(&col, &row);
    EXPECT_EQ(col, 12);
    EXPECT_EQ(row, 7);
    col = 0;
    CursorPosition(&col, nullptr);
    EXPECT_EQ(col, 12);
    row = 0;
    CursorPosition(nullptr, &row);
    EXPECT_EQ(row, 7);
    int32_t columns = 0;
    int32_t rows = 0;
    TextSize(&columns, &rows);
    EXPECT_EQ(columns, 80);
    EXPECT_EQ(rows, 30);
    TextSize(nullptr, &rows);
    TextSize(&columns, nullptr);
    EXPECT_EQ(textio::Runtime().screen.width, 80u);
}

TEST_F(TextConsoleTest, SetColoursReturnsThePreviousPairAndHonoursKeepFlags) {
    struct Case {
        int32_t fg, bg, flags;
        int32_t previous;
        uint32_t wantFg, wantBg;
    };
    // Runs in order: each previous value is what the case before left.
    const Case cases[] = {
        {14, 1, 0, 15 + 65536 * 0, 14, 1},
        {3, 9, 1, 14 + 65536 * 1, 14, 9},
        {3, 9, 2, 14 + 65536 * 9, 3, 9},
        {0x1234, 0x0507, 3, 3 + 65536 * 9, 3, 9},
        {0x1234, 0x0507, 0, 3 + 65536 * 9, 0x34, 0x07},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetColours(c.fg, c.bg, c.flags), c.previous)
            << c.fg << "/" << c.bg << "/" << c.flags;
        EXPECT_EQ(GetDrawContext().foreground, c.wantFg);
        EXPECT_EQ(GetDrawContext().background, c.wantBg);
    }
}

TEST_F(TextConsoleTest, SetTextSizeAcceptsOnlyCellsOfTheBuiltInFonts) {
    struct Case {
        int32_t columns, rows;
        int32_t wantColumns, wantRows, fontHeight;
    };
    const Case cases[] = {
        {40, 30, 80, 30, 16},  // 16 pixels wide: refused
        {80, 25, 80, 30, 16},  // 19 high: refused
        {80, 60, 80, 60, 8},   // 8x8
        {0, 34, 80, 34, 14},   // 480 / 34 = 14
        {-1, 0, 80, 34, 14},   // nothing given: stays, accepted again
        {80, 30, 80, 30, 16},
    };
    for (const Case& c : cases) {
        const int32_t before = CurrentScreen()->textColumns + 65536 * CurrentScreen()->textRows;
        FillScreen('#');
        Locate(5, 5, 0);
        EXPECT_EQ(SetTextSize(c.columns, c.rows), before);
        const ScreenState& s = *CurrentScreen();
        EXPECT_EQ(s.textColumns, c.wantColumns);
        EXPECT_EQ(s.textRows, c.wantRows);
        EXPECT_EQ(s.font->height, c.fontHeight);
        const bool changed = !(c.columns == 40 || c.rows == 25);
        if (changed) {
            EXPECT_TRUE(RowsAre(0, 480, 0)) << c.columns << "x" << c.rows;
            EXPECT_EQ(CursorRow(), 1);
            EXPECT_EQ(CursorColumn(), 1);
            EXPECT_EQ(textio::Runtime().view.bottom, c.wantRows - 1);
            EXPECT_EQ(ShadowRows().size(), static_cast<size_t>(c.wantRows));
            EXPECT_EQ(ShadowRows().back(), std::string(80, ' '));
        } else {
            EXPECT_EQ(CursorRow(), 5) << c.columns << "x" << c.rows;
            EXPECT_EQ(ShadowRows()[0], std::string(80, '#'));
        }
    }
}

TEST_F(TextConsoleTest, SmallCellsPrintWithTheirFont) {
    SetTextSize(80, 60);
    Locate(60, 1, 0);
    Print("A\r\n");
    EXPECT_EQ(ShadowRows()[58].substr(0, 1), "A");
    EXPECT_EQ(testing::CellMismatch(0, 58, 'A', 15, 0), "");
    EXPECT_TRUE(RowsAre(472, 480, 0));
}

TEST_F(TextConsoleTest, ReadCellGivesCodeOrColoursInsideTheGrid) {
    SetColours(12, 3, 0);
    Locate(2, 80, 0);
    Print("Z");
    struct Case {
        int32_t column, row, selector, want;
    };
    for (const Case& c :
         {Case{80, 2, 0, 'Z'}, Case{80, 2, 1, 12 + 256 * 3}, Case{80, 2, 7, 12 + 256 * 3},
          Case{1, 1, 0, ' '}, Case{1, 1, 1, 15}, Case{0, 2, 0, 0}, Case{81, 2, 0, 0},
          Case{80, 31, 0, 0}, Case{80, 0, 0, 0}}) {
        EXPECT_EQ(ReadCell(c.column, c.row, c.selector), c.want)
            << c.column << "," << c.row << "," << c.selector;
    }
}

TEST(ReadCellDepthTest, SixteenColourScreensPackColoursByFour) {
    testing::ResetScreenWorld();
    testing::ScopedEnv env("KRGFX", "null");
    ASSERT_EQ(OpenScreen(12, 0, 0, 0, 0), 0);
    SetColours(14, 2, 0);
    PrintText("k", 1, 0);
    EXPECT_EQ(ReadCell(1, 1, 1), 14 + 16 * 2);
    EXPECT_EQ(testing::PixelAt(0, 0), 2);  // 'k' starts with a blank pixel
    testing::ResetScreenWorld();
}

struct WideCase {
    std::u16string text;
    std::string want;
};

class WideTextTest : public TextConsoleTest, public ::testing::WithParamInterface<WideCase> {};

TEST_P(WideTextTest, UnitsBecomeBytes) {
    const WideCase& c = GetParam();
    PrintWideText(reinterpret_cast<const uint16_t*>(c.text.data()), c.text.size(), 0);
    EXPECT_EQ(ShadowRows()[0].substr(0, c.want.size() + 1), c.want + " ");
    EXPECT_EQ(CursorColumn(), static_cast<int32_t>(c.want.size()) + 1);
}

INSTANTIATE_TEST_SUITE_P(Units, WideTextTest,
                         ::testing::Values(WideCase{u"abc", "abc"}, WideCase{u"a\u0100b", "a?b"},
                                           WideCase{u"Wellenl\u0084nge", "Wellenl\x84nge"},
                                           WideCase{u"x\u00ffy", "x\xffy"},
                                           WideCase{u"\xD83D\xDE00z", "?z"},  // pair: one '?'
                                           WideCase{u"q\xD83D", "q?"},  // high surrogate at the end
                                           WideCase{u"\xDE00\xD83D\xDE00",
                                                    "??"}));  // lone low, then a pair

TEST_F(TextConsoleTest, LongWideTextArrivesWhole) {
    std::u16string text;
    for (int i = 0; i < 1500; ++i)
        text.push_back(static_cast<char16_t>(i % 3 == 0 ? 0x263A : 'a' + i % 26));
    PrintWideText(reinterpret_cast<const uint16_t*>(text.data()), text.size(), 0);
    const std::vector<std::string> rows = ShadowRows();
    for (int i = 0; i < 1500; ++i) {
        const char want = i % 3 == 0 ? '?' : static_cast<char>('a' + i % 26);
        ASSERT_EQ(rows[static_cast<size_t>(i / 80)][static_cast<size_t>(i % 80)], want) << i;
    }
}

TEST_F(TextConsoleTest, ForcedEmptyWideTextAppliesThePendingLineFeed) {
    Locate(30, 1, 0);
    Print(std::string(80, 'w'));
    PrintWideText(nullptr, 0, 0);
    EXPECT_EQ(CursorColumn(), 80);
    PrintWideText(nullptr, 0, textio::kPrintForce);
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_EQ(ShadowRows()[28], std::string(80, 'w'));
}

TEST_F(TextConsoleTest, PrintsThroughTheChannelKeepTheColumnInStep) {
    // 85 bytes without a line end: the channel's column wraps with the screen.
    textio::PrintStringValue(0, std::string(85, 'c'), textio::kMaskNone);
    EXPECT_EQ(textio::Runtime().screen.column, 5u);
    EXPECT_EQ(CursorColumn(), 6);
    EXPECT_EQ(CursorRow(), 2);
    textio::PrintStringValue(0, "x", textio::kMaskZone);
    EXPECT_EQ(CursorColumn(), 15);
    EXPECT_EQ(textio::Runtime().screen.column, 14u);
}

TEST_F(TextConsoleTest, RemovedHooksLeaveEverySlotEmpty) {
    RemoveGraphicsHooks();
    const textio::ConsoleHooks empty{};
    EXPECT_EQ(std::memcmp(&textio::Runtime().hooks, &empty, sizeof empty), 0);
    InstallGraphicsHooks();
    EXPECT_EQ(textio::Runtime().hooks.printBytes, &PrintText);
}

}  // namespace
}  // namespace gfxwin
