// Printing on the framebuffer: glyph cells, wrapping, control bytes, the parked
// cursor and scrolling.
#include "gfxwin/text/text_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "textio/beep.h"
#include "gfxwin/screen/draw_context.h"
#include "support/screen_dump.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/text/text_console.h"
#include "textio/runtime_state.h"

namespace gfxwin {
namespace {

using testing::CellMismatch;
using testing::ClearDirty;
using testing::DirtyCount;
using testing::RowsAre;
using testing::ShadowRows;

class TextEngineTest : public testing::NullScreenTest {
  protected:
    static void Print(const std::string& text, uint32_t flags = 0) {
        PrintText(text.data(), text.size(), flags);
    }
    static bool Pending() { return (CurrentScreen()->statusFlags & kStatusPendingLineFeed) != 0; }
    static std::string Row(int row1) { return ShadowRows()[static_cast<size_t>(row1 - 1)]; }
    // Puts "row N" on every row 1..30 without scrolling.
    static void NumberRows() {
        for (int r = 1; r <= 30; ++r) {
            Locate(r, 1, 0);
            Print("row " + std::to_string(r));
        }
    }
};

TEST_F(TextEngineTest, FirstPrintPaintsTheGlyphAtTheTopLeft) {
    Print("\x84");
    EXPECT_EQ(CellMismatch(0, 0, 0x84, 15, 0), "");
    EXPECT_EQ(ReadCell(1, 1, 0), 132);
    EXPECT_EQ(ReadCell(1, 1, 1), 15);
    EXPECT_EQ(CursorColumn(), 2);
    EXPECT_EQ(CursorRow(), 1);
    EXPECT_TRUE(RowsAre(16, 480, 0));
    // The glyph has set pixels at all: the comparison above is not vacuous.
    EXPECT_FALSE(RowsAre(0, 16, 0));
}

TEST_F(TextEngineTest, EveryCodeDrawsItsOwnGlyphOpaquely) {
    // Fill the screen with white first so that background pixels must be written.
    SetColours(15, 15, 0);
    ClearGraphicsScreen(0);
    SetColours(14, 1, 0);
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c == 255 ? 254 : c));
    // Control bytes act rather than draw; print the others one by one at known cells.
    for (int c = 0; c < 256; ++c) {
        if (c == 7 || c == 8 || c == 9 || c == 10 || c == 13 || c == 255) continue;
        Locate(c / 80 + 1, c % 80 + 1, 0);
        const char byte = static_cast<char>(c);
        PrintText(&byte, 1, 0);
        ASSERT_EQ(CellMismatch(c % 80, c / 80, static_cast<uint8_t>(c), 14, 1), "") << c;
    }
}

// Every drawable code, in runs of every length 1..80 starting at every column
// parity, so that wide and narrow paint paths both meet every glyph.
std::string DrawableRun(size_t length, size_t start) {
    std::string text;
    for (size_t k = 0; text.size() < length; ++k) {
        const auto code = static_cast<uint8_t>((start + k) % 256);
        if (code == 7 || code == 8 || code == 9 || code == 10 || code == 13) continue;
        text.push_back(static_cast<char>(code));
    }
    return text;
}

TEST_F(TextEngineTest, RunsOfEveryLengthPaintEveryGlyph) {
    SetColours(11, 5, 0);
    size_t start = 0;
    for (size_t length = 1; length <= 80; ++length) {
        const std::string text = DrawableRun(length, start);
        start += 37;
        const int row = static_cast<int>(length % 30);
        const int column = static_cast<int>((length * 7) % (81 - length));
        Locate(row + 1, column + 1, 0);
        Print(text);
        for (size_t k = 0; k < length; ++k) {
            ASSERT_EQ(CellMismatch(column + static_cast<int>(k), row, static_cast<uint8_t>(text[k]),
                                   11, 5),
                      "")
                << "length " << length << " cell " << k;
        }
    }
}

TEST_F(TextEngineTest, WideAndPortableGlyphStoresPaintTheSamePixels) {
    std::vector<std::vector<uint8_t>> pictures;
    for (bool wide : {true, false}) {
        UseWideGlyphStores(wide);
        ClearGraphicsScreen(0);
        for (int pass = 0; pass < 3; ++pass) {
            SetColours(pass * 5 + 1, 200 - pass, 0);
            Print(DrawableRun(2000, static_cast<size_t>(pass) * 11));
        }
        pictures.push_back(testing::CopyRows(0, 480));
    }
    UseWideGlyphStores(true);
    EXPECT_TRUE(pictures[0] == pictures[1]);
    EXPECT_FALSE(RowsAre(0, 480, 0));
}

TEST_F(TextEngineTest, EightyCharactersWrapToTheNextRow) {
    Locate(5, 1, 0);
    Print(std::string(80, 'a'));
    EXPECT_EQ(CursorRow(), 6);
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_FALSE(Pending());
    Print("\r\n");
    EXPECT_EQ(Row(6), std::string(80, ' '));
    EXPECT_EQ(CursorRow(), 7);
    EXPECT_EQ(CursorColumn(), 1);
}

TEST_F(TextEngineTest, LongRunsWrapAndKeepEveryByte) {
    // More than the staging buffer holds, in one print.
    std::string text;
    for (int i = 0; i < 2000; ++i) text.push_back(static_cast<char>('A' + i % 26));
    Print(text);
    const std::vector<std::string> rows = ShadowRows();
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(rows[static_cast<size_t>(i / 80)][static_cast<size_t>(i % 80)],
                  text[static_cast<size_t>(i)])
            << i;
    }
    EXPECT_EQ(CursorRow(), 26);
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_EQ(CellMismatch(79, 24, static_cast<uint8_t>(text[1999]), 15, 0), "");
}

TEST_F(TextEngineTest, LineEndOnTheLastRowScrollsByOneRow) {
    NumberRows();
    const std::vector<uint8_t> secondRowPixels = testing::CopyRows(16, 32);
    Locate(30, 1, 0);
    Print("last");
    ClearDirty();
    Print("\r\n");
    EXPECT_EQ(CursorRow(), 30);
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_EQ(Row(1).substr(0, 5), "row 2");
    EXPECT_EQ(Row(29).substr(0, 4), "last");
    EXPECT_EQ(Row(30), std::string(80, ' '));
    EXPECT_EQ(testing::CopyRows(0, 16), secondRowPixels);
    EXPECT_TRUE(RowsAre(464, 480, 0));
    EXPECT_EQ(DirtyCount(0, 480), 480);
}

TEST_F(TextEngineTest, SeveralLineEndsScrollAtOnce) {
    NumberRows();
    Locate(30, 1, 0);
    Print("\n\n\n");
    EXPECT_EQ(CursorRow(), 30);
    EXPECT_EQ(Row(1).substr(0, 5), "row 4");
    EXPECT_EQ(Row(27).substr(0, 6), "row 30");
    EXPECT_TRUE(RowsAre(27 * 16, 480, 0));
}

TEST_F(TextEngineTest, TextEndingInTheLastCellParksTheCursor) {
    NumberRows();
    Locate(30, 1, 0);
    ClearDirty();
    Print(std::string(80, 'z'));
    EXPECT_EQ(CursorColumn(), 80);
    EXPECT_EQ(CursorRow(), 30);
    EXPECT_TRUE(Pending());
    EXPECT_EQ(Row(1).substr(0, 5), "row 1");  // no scroll yet
    EXPECT_EQ(DirtyCount(0, 464), 0);
    EXPECT_EQ(DirtyCount(464, 480), 16);

    Print("b");
    EXPECT_FALSE(Pending());
    EXPECT_EQ(Row(1).substr(0, 5), "row 2");
    EXPECT_EQ(Row(29), std::string(80, 'z'));
    EXPECT_EQ(Row(30), "b" + std::string(79, ' '));
    EXPECT_EQ(CursorRow(), 30);
    EXPECT_EQ(CursorColumn(), 2);
}

TEST_F(TextEngineTest, ForcedEmptyPrintAppliesThePendingLineFeed) {
    Locate(30, 1, 0);
    Print(std::string(80, 'z'));
    ASSERT_TRUE(Pending());
    Print("", 0);  // an empty print without force does nothing
    EXPECT_TRUE(Pending());
    EXPECT_EQ(Row(30), std::string(80, 'z'));
    Print("", textio::kPrintForce);
    EXPECT_FALSE(Pending());
    EXPECT_EQ(CursorRow(), 30);
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_EQ(Row(29), std::string(80, 'z'));
    EXPECT_EQ(Row(30), std::string(80, ' '));
}

struct TabCase {
    int startColumn;  // 1-based
    int endRow;       // 1-based, starting on row 3
    int endColumn;
    int spaces;
};

class TabTest : public TextEngineTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabTest, TabFillsSpacesToTheNextStopOfEight) {
    const TabCase& c = GetParam();
    Locate(3, 1, 0);
    Print(std::string(80, 'x'));
    Locate(3, c.startColumn, 0);
    Print("\t");
    EXPECT_EQ(CursorRow(), c.endRow);
    EXPECT_EQ(CursorColumn(), c.endColumn);
    const std::string row = Row(3);
    const size_t from = static_cast<size_t>(c.startColumn - 1);
    EXPECT_EQ(row.substr(from, static_cast<size_t>(c.spaces)),
              std::string(static_cast<size_t>(c.spaces), ' '));
    if (from + static_cast<size_t>(c.spaces) < 80) {
        EXPECT_EQ(row[from + static_cast<size_t>(c.spaces)], 'x');
    }
    EXPECT_EQ(CellMismatch(c.startColumn - 1, 2, ' ', 15, 0), "");
}

INSTANTIATE_TEST_SUITE_P(Stops, TabTest,
                         ::testing::Values(TabCase{1, 3, 9, 8}, TabCase{2, 3, 9, 7},
                                           TabCase{8, 3, 9, 1}, TabCase{9, 3, 17, 8},
                                           TabCase{76, 4, 1, 5}, TabCase{80, 4, 1, 1}));

TEST_F(TextEngineTest, TabAfterTextCountsFromTheRunningColumn) {
    Print("abc\tX");
    EXPECT_EQ(Row(1).substr(0, 10), "abc     X ");
    EXPECT_EQ(CursorColumn(), 10);
}

TEST_F(TextEngineTest, BackspaceMovesLeftWithoutErasing) {
    Print("\b");
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_EQ(CursorRow(), 1);
    Print("ab\b");
    EXPECT_EQ(CursorColumn(), 2);
    EXPECT_EQ(Row(1).substr(0, 2), "ab");
    Print("c");
    EXPECT_EQ(Row(1).substr(0, 3), "ac ");
    // Never back onto the row above.
    Locate(2, 1, 0);
    Print("\b\bq");
    EXPECT_EQ(CursorRow(), 2);
    EXPECT_EQ(Row(2).substr(0, 1), "q");
}

TEST_F(TextEngineTest, CarriageReturnGoesToTheLeftColumn) {
    Print("abcdef\rXY");
    EXPECT_EQ(Row(1).substr(0, 7), "XYcdef ");
    EXPECT_EQ(CursorColumn(), 3);
}

struct BeepLog {
    int calls = 0;
    int hz = 0;
    int ms = 0;
    char cellAtBeep = 0;
};
BeepLog gBeeps;

void CountBeep(int hz, int ms) {
    ++gBeeps.calls;
    gBeeps.hz = hz;
    gBeeps.ms = ms;
    gBeeps.cellAtBeep = static_cast<char>(ReadCell(1, 1, 0));
}

TEST_F(TextEngineTest, BellBeepsBeforeEarlierTextIsDrawnAndMovesNothing) {
    gBeeps = BeepLog{};
    const textio::BeepService old = textio::SetBeepService(CountBeep);
    Print("ab\ac");
    textio::SetBeepService(old);
    EXPECT_EQ(gBeeps.calls, 1);
    EXPECT_EQ(gBeeps.hz, 1000);
    EXPECT_EQ(gBeeps.ms, 250);
    EXPECT_EQ(gBeeps.cellAtBeep, ' ');  // "ab" was still in the staging buffer
    EXPECT_EQ(Row(1).substr(0, 4), "abc ");
    EXPECT_EQ(CursorColumn(), 4);

    Print("\a");  // alone: nothing moves, nothing is drawn
    EXPECT_EQ(CursorColumn(), 4);
    EXPECT_EQ(Row(1).substr(0, 4), "abc ");
}

TEST_F(TextEngineTest, BellWithoutAServiceIsSilent) {
    const textio::BeepService old = textio::SetBeepService(nullptr);
    Print("x\ay");
    textio::SetBeepService(old);
    EXPECT_EQ(Row(1).substr(0, 2), "xy");
}

TEST_F(TextEngineTest, CursorMarkUnderlinesTheCellAndKeepsTheRest) {
    Print("A");
    const std::vector<uint8_t> before = testing::CopyRows(0, 16);
    Locate(1, 1, 0);
    Print("\xff");
    const std::vector<uint8_t> after = testing::CopyRows(0, 16);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 640; ++x) {
            ASSERT_EQ(after[static_cast<size_t>(y * 640 + x)],
                      before[static_cast<size_t>(y * 640 + x)])
                << x << "," << y;
        }
    }
    for (int x = 0; x < 8; ++x) EXPECT_EQ(testing::PixelAt(x, 15), 15) << x;
    EXPECT_EQ(testing::PixelAt(8, 15), 0);
    EXPECT_EQ(CursorColumn(), 2);
}

TEST_F(TextEngineTest, ColoursComeFromTheContext) {
    SetColours(14, 1, 0);
    Print("W");
    EXPECT_EQ(CellMismatch(0, 0, 'W', 14, 1), "");
    EXPECT_EQ(ReadCell(1, 1, 1), 14 + 256 * 1);
    // Scrolling clears with the current background.
    Locate(30, 1, 0);
    Print("\n");
    EXPECT_TRUE(RowsAre(464, 480, 1));
    EXPECT_EQ(ReadCell(1, 30, 1), 14 + 256 * 1);
}

TEST_F(TextEngineTest, NarrowedViewScrollsOnlyItsRows) {
    NumberRows();
    const std::vector<uint8_t> above = testing::CopyRows(0, 64);
    const std::vector<uint8_t> below = testing::CopyRows(160, 480);
    textio::Runtime().view = textio::TextView{4, 9};  // rows 5 to 10
    Locate(10, 1, 0);
    ClearDirty();
    Print("\r\n");
    EXPECT_EQ(CursorRow(), 10);
    EXPECT_EQ(testing::CopyRows(0, 64), above);
    EXPECT_EQ(testing::CopyRows(160, 480), below);
    EXPECT_EQ(Row(5).substr(0, 5), "row 6");
    EXPECT_EQ(Row(9).substr(0, 6), "row 10");
    EXPECT_EQ(Row(10), std::string(80, ' '));
    EXPECT_EQ(Row(11).substr(0, 6), "row 11");
    EXPECT_TRUE(RowsAre(144, 160, 0));
    EXPECT_EQ(DirtyCount(64, 160), 96);
    EXPECT_EQ(DirtyCount(0, 64) + DirtyCount(160, 480), 0);
}

TEST_F(TextEngineTest, CursorBelowTheViewScrollsBeforeDrawing) {
    textio::Runtime().view = textio::TextView{0, 9};
    NumberRows();  // rows 11..30 lie below the view; locating there then printing scrolls
    Locate(12, 1, 0);
    Print("x");
    EXPECT_EQ(CursorRow(), 10);
    EXPECT_EQ(Row(10).substr(0, 1), "x");
}

// Regions and operations that the screen never builds itself.
class TtyRegionTest : public testing::NullScreenTest {
  protected:
    TtyState Region(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        TtyState tty{};
        tty.context = &GetDrawContext();
        tty.screen = CurrentScreen();
        tty.scroll = ScrollTextRegion;
        tty.writeRun = WriteGlyphRun;
        tty.left = left;
        tty.top = top;
        tty.right = right;
        tty.bottom = bottom;
        tty.column = left;
        tty.row = top;
        return tty;
    }
    static void Write(TtyState& tty, const std::string& text) {
        TtyWrite(tty, reinterpret_cast<const uint8_t*>(text.data()), text.size(), true);
    }
};

TEST_F(TtyRegionTest, ZeroWidthRegionIgnoresTheText) {
    TtyState tty = Region(10, 0, 9, 29);
    Write(tty, "abc\n");
    EXPECT_EQ(tty.column, 10);
    EXPECT_EQ(tty.row, 0);
    EXPECT_EQ(tty.dirtyFirst, tty.dirtyEnd);
    EXPECT_EQ(ShadowRows()[0], std::string(80, ' '));
}

TEST_F(TtyRegionTest, NarrowRegionWrapsAndScrollsInsideItsColumns) {
    for (int r = 1; r <= 30; ++r) {
        Locate(r, 1, 0);
        const std::string line(80, static_cast<char>('a' + r % 26));
        PrintText(line.data(), line.size(), 0);
    }
    TtyState tty = Region(10, 2, 14, 4);  // 5 columns, 3 rows
    Write(tty, "0123456789ABCDEFGHIJ");
    // 20 characters in a 5x3 region: the first row scrolled away.
    const std::vector<std::string> rows = ShadowRows();
    EXPECT_EQ(rows[2].substr(10, 5), "56789");
    EXPECT_EQ(rows[3].substr(10, 5), "ABCDE");
    EXPECT_EQ(rows[4].substr(10, 5), "FGHIJ");
    EXPECT_EQ(rows[2].substr(5, 5), std::string(5, 'd'));  // outside the region
    EXPECT_EQ(rows[2].substr(15, 5), std::string(5, 'd'));
    EXPECT_EQ(rows[5], std::string(80, 'g'));  // row 6, below the region
    EXPECT_EQ(tty.dirtyFirst, 32);
    EXPECT_EQ(tty.dirtyEnd, 80);
    EXPECT_EQ(testing::CellMismatch(9, 2, 'd', 15, 0), "");
    EXPECT_EQ(testing::CellMismatch(10, 2, '5', 15, 0), "");
}

TEST_F(TtyRegionTest, ScrollByMoreThanTheRegionClearsIt) {
    PrintText("x", 1, 0);
    TtyState tty = Region(0, 0, 79, 29);
    tty.row = 40;
    ScrollTextRegion(tty, 31);
    EXPECT_EQ(tty.row, 29);
    EXPECT_TRUE(RowsAre(0, 480, 0));
    EXPECT_EQ(ShadowRows()[0], std::string(80, ' '));
}

TEST_F(TtyRegionTest, NoBottomMeansNoScrolling) {
    TtyState tty = Region(0, 0, 79, -1);
    tty.row = 29;
    Write(tty, "\n\n");
    EXPECT_EQ(tty.row, 31);
}

int StopAfterFirst(TtyState& tty, const uint8_t* bytes, int32_t count) {
    WriteGlyphRun(tty, bytes, count);
    return 0;
}

TEST_F(TtyRegionTest, AWriteRunThatFailsEndsTheDrawing) {
    TtyState tty = Region(0, 0, 4, 29);
    tty.writeRun = StopAfterFirst;
    Write(tty, "abcdefgh");
    EXPECT_EQ(ShadowRows()[0].substr(0, 6), "abcde ");
    EXPECT_EQ(ShadowRows()[1].substr(0, 3), "   ");
    EXPECT_EQ(tty.column, 0);  // the cursor did not advance past the failed piece
}

TEST(DeepScreenTextTest, ThirtyTwoBitPixelsTakeTheContextColours) {
    testing::ResetScreenWorld();
    testing::ScopedEnv env("KRGFX", "null");
    ASSERT_EQ(OpenScreen(18, 32, 0, 0, 0), 0);
    SetColours(0x00FF8040, 0x00010203, 0);
    PrintText("\xdb ", 2, 0);  // full block, then a blank
    const DrawContext& ctx = GetDrawContext();
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(ctx.getPixel(ctx.rows[y], 3), 0x00FF8040u) << y;
        EXPECT_EQ(ctx.getPixel(ctx.rows[y], 11), 0x00010203u) << y;
    }
    EXPECT_EQ(ctx.getPixel(ctx.rows[20], 3), 0xFF000000u);  // cleared to the open's background
    testing::ResetScreenWorld();
}

}  // namespace
}  // namespace gfxwin
