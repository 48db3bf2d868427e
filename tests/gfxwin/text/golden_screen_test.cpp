// Whole screens printed through the text layer's print operations, compared
// row by row with the expected text and cell by cell with the font.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/screen_dump.h"
#include "gfxwin/text/text_console.h"
#include "textio/console.h"
#include "textio/print.h"
#include "textio/runtime_state.h"

namespace gfxwin {
namespace {

using testing::CellMismatch;
using testing::ShadowRows;

std::vector<std::string> Padded(const std::vector<std::string>& top) {
    std::vector<std::string> rows(30, std::string(80, ' '));
    for (size_t i = 0; i < top.size(); ++i) rows[i].replace(0, top[i].size(), top[i]);
    return rows;
}

// Every cell shows the glyph of the code its shadow holds, white on black.
void ExpectCellsMatchShadow() {
    const std::vector<std::string> rows = ShadowRows();
    for (int r = 0; r < 30; ++r) {
        for (int c = 0; c < 80; ++c) {
            const auto code =
                static_cast<uint8_t>(rows[static_cast<size_t>(r)][static_cast<size_t>(c)]);
            ASSERT_EQ(CellMismatch(c, r, code, 15, 0), "");
        }
    }
}

class GoldenScreenTest : public testing::NullScreenTest {
  protected:
    void SetUp() override {
        NullScreenTest::SetUp();
        textio::ClearScreen(textio::kClearDefault);
    }
};

TEST_F(GoldenScreenTest, DialogueScreenWithResult) {
    const std::string heading = "        Berechnung der farbtongleichen Wellenl\x84nge aus x und y";
    const std::string underline = "        " + std::string(54, '=');
    textio::PrintStringValue(0, heading, textio::kMaskLineEnd);
    textio::PrintStringValue(0, underline, textio::kMaskLineEnd);
    textio::PrintEnd(0, textio::kMaskLineEnd);
    textio::PrintEnd(0, textio::kMaskLineEnd);
    textio::PrintStringValue(0, "     Farbwertanteil x = ", textio::kMaskNone);
    textio::PrintTerminatedText(0, "? ", textio::kMaskNone);
    textio::PrintStringValue(0, "0.3127", textio::kMaskLineEnd);
    textio::PrintStringValue(0, "     Farbwertanteil y = ", textio::kMaskNone);
    textio::PrintTerminatedText(0, "? ", textio::kMaskNone);
    textio::PrintStringValue(0, "0.329", textio::kMaskLineEnd);
    textio::PrintEnd(0, textio::kMaskLineEnd);
    textio::PrintStringValue(0, "   farbtongleiche Wellenl\x84nge la= ", textio::kMaskNone);
    textio::PrintDouble(0, 488.997, textio::kMaskLineEnd);

    ASSERT_EQ(heading.size(), 62u);
    const std::vector<std::string> want = Padded({
        heading,
        underline,
        "",
        "",
        "     Farbwertanteil x = ? 0.3127",
        "     Farbwertanteil y = ? 0.329",
        "",
        "   farbtongleiche Wellenl\x84nge la=  488.997",
    });
    const std::vector<std::string> got = ShadowRows();
    ASSERT_EQ(got.size(), want.size());
    for (size_t r = 0; r < want.size(); ++r) EXPECT_EQ(got[r], want[r]) << "row " << r + 1;
    EXPECT_EQ(CursorRow(), 9);
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_EQ(textio::Runtime().screen.column, 0u);

    // The umlaut of "Wellenlänge" on row 1 is the code page 437 glyph 0x84.
    const int umlaut = static_cast<int>(heading.find('\x84'));
    EXPECT_EQ(umlaut, 46);
    EXPECT_EQ(CellMismatch(umlaut, 0, 0x84, 15, 0), "");
    EXPECT_EQ(ReadCell(umlaut + 1, 1, 0), 0x84);
    EXPECT_NE(CellMismatch(umlaut, 0, 'a', 15, 0), "");  // not a plain "a"
    EXPECT_EQ(CellMismatch(8, 1, '=', 15, 0), "");
    ExpectCellsMatchShadow();
}

TEST_F(GoldenScreenTest, ThirtyFiveNumberedLinesScrollTheFirstFiveAway) {
    for (int i = 1; i <= 35; ++i) {
        textio::PrintStringValue(0, "Zeile", textio::kMaskNone);
        textio::PrintInt64(0, i, textio::kMaskLineEnd);
    }
    // Each line end on row 30 scrolls: rows 1..29 hold lines 7..35, row 30 is empty.
    std::vector<std::string> top;
    for (int i = 7; i <= 35; ++i) top.push_back("Zeile " + std::to_string(i));
    const std::vector<std::string> want = Padded(top);
    const std::vector<std::string> got = ShadowRows();
    for (size_t r = 0; r < want.size(); ++r) EXPECT_EQ(got[r], want[r]) << "row " << r + 1;
    EXPECT_EQ(CursorRow(), 30);
    EXPECT_EQ(CursorColumn(), 1);
    ExpectCellsMatchShadow();
}

TEST_F(GoldenScreenTest, PrintZonesOnTheScreen) {
    textio::PrintDouble(0, 0.3127, textio::kMaskZone);
    textio::PrintDouble(0, 0.329, textio::kMaskZone);
    textio::PrintDouble(0, 0.3583, textio::kMaskLineEnd);
    textio::PrintInt64(0, 380, textio::kMaskZone);
    textio::PrintDouble(0, 488.997, textio::kMaskLineEnd);
    // A zone advance from column 70 or beyond is a line end on the 80-column screen.
    textio::PrintStringValue(0, std::string(71, '-'), textio::kMaskZone);
    textio::PrintStringValue(0, "next", textio::kMaskNone);
    const std::vector<std::string> want = Padded({
        // Zones start at columns 0, 14 and 28; each number brings its own blank.
        " 0.3127" + std::string(7, ' ') + " 0.329" + std::string(8, ' ') + " 0.3583",
        " 380" + std::string(10, ' ') + " 488.997",
        std::string(71, '-'),
        "next",
    });
    const std::vector<std::string> got = ShadowRows();
    for (size_t r = 0; r < want.size(); ++r) EXPECT_EQ(got[r], want[r]) << "row " << r + 1;
    ExpectCellsMatchShadow();
}

}  // namespace
}  // namespace gfxwin
