// Opening, re-opening and closing the graphics screen on the Null driver:
// what OpenScreen builds, the depth rule, closing to the terminal, the window
// title, and the clean-up after every failed allocation.
#include "gfxwin/screen_mode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_setup.h"
#include "gfxwin/text/text_console.h"
#include "support/screen_dump.h"
#include "support/screen_open.h"
#include "textio/last_error.h"
#include "textio/print.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"

namespace gfxwin {
namespace {

using testing::HooksEmpty;
using testing::NullScreenTest;
using testing::Rgb;
using testing::ScopedEnv;

using ScreenOpenTest = NullScreenTest;

TEST_F(ScreenOpenTest, Mode18BuildsThe640x480TextScreen) {
    const ScreenState& s = Screen();
    EXPECT_EQ(s.modeNumber, 18);
    EXPECT_EQ(s.width, 640);
    EXPECT_EQ(s.height, 480);
    EXPECT_EQ(s.depth, 8);
    EXPECT_EQ(s.bytesPerPixel, 1);
    EXPECT_EQ(s.pitch, 640);
    EXPECT_EQ(s.colourMask, 0xFFu);
    EXPECT_EQ(s.pageCount, 1);
    EXPECT_EQ(s.visiblePage, 0);
    EXPECT_EQ(s.framebuffer, s.pages[0]);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(s.pages[0]) % 16, 0u);
    EXPECT_EQ(s.scanlineSize, 1);
    EXPECT_EQ(s.textColumns, 80);
    EXPECT_EQ(s.textRows, 30);
    ASSERT_NE(s.font, nullptr);
    EXPECT_EQ(s.font->width, 8);
    EXPECT_EQ(s.font->height, 16);
    EXPECT_EQ(s.aspect, 1.0f);
    EXPECT_EQ(s.palette[15], Rgb(255, 255, 255));
    EXPECT_EQ(s.palette[0], 0u);
    EXPECT_EQ(s.lockCount, 0);
    EXPECT_EQ(s.statusFlags, 0u);
    EXPECT_STREQ(s.driver->name, "Null");

    const DrawContext& ctx = GetDrawContext();
    EXPECT_EQ(ctx.modeId, s.modeId);
    EXPECT_EQ(ctx.foreground, 15u);
    EXPECT_EQ(ctx.background, 0u);
    EXPECT_EQ(ctx.workPage, 0);
    EXPECT_EQ(ctx.rows[479], s.pages[0] + 479 * 640);

    EXPECT_EQ(CursorRow(), 1);
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_TRUE(testing::RowsAre(0, 480, 0));
    EXPECT_EQ(testing::DirtyCount(0, 480), 480);
    std::string blank;
    for (int r = 0; r < 30; ++r) blank += std::string(80, ' ') + "\n";
    EXPECT_EQ(testing::RenderShadow(), blank);
    EXPECT_EQ(textio::Runtime().view.top, 0);
    EXPECT_EQ(textio::Runtime().view.bottom, 29);
    EXPECT_EQ(textio::Runtime().programEndHook, &CloseScreen);
    EXPECT_EQ(textio::LastError(), 0);
}

struct DepthCase {
    int32_t mode;
    int32_t requested;
    int32_t depth;
    int32_t bytesPerPixel;
    uint32_t colourMask;
    uint32_t foreground;
};

class DepthRuleTest : public ::testing::TestWithParam<DepthCase> {
  protected:
    void SetUp() override { testing::ResetScreenWorld(); }
    void TearDown() override { testing::ResetScreenWorld(); }
    ScopedEnv env_{"KRGFX", "null"};
};

TEST_P(DepthRuleTest, RequestedDepthCountsOnlyAboveMode13) {
    const DepthCase& c = GetParam();
    ASSERT_EQ(OpenScreen(c.mode, c.requested, 0, 0, 0), 0);
    const ScreenState& s = *CurrentScreen();
    EXPECT_EQ(s.depth, c.depth);
    EXPECT_EQ(s.bytesPerPixel, c.bytesPerPixel);
    EXPECT_EQ(s.pitch, s.width * c.bytesPerPixel);
    EXPECT_EQ(s.colourMask, c.colourMask);
    EXPECT_EQ(GetDrawContext().foreground, c.foreground);
    EXPECT_EQ(GetDrawContext().background, c.colourMask & 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, DepthRuleTest,
    ::testing::Values(DepthCase{18, 8, 8, 1, 0xFF, 15}, DepthCase{18, 0, 8, 1, 0xFF, 15},
                      DepthCase{18, 12, 8, 1, 0xFF, 15},
                      DepthCase{18, 24, 32, 4, 0xFFFFFFFF, 0xFFFFFFFF},
                      DepthCase{18, 32, 32, 4, 0xFFFFFFFF, 0xFFFFFFFF},
                      DepthCase{18, 15, 16, 2, 0xFFFF, 0xFFFF},
                      DepthCase{18, 16, 16, 2, 0xFFFF, 0xFFFF}, DepthCase{13, 32, 8, 1, 0xFF, 15},
                      DepthCase{12, 8, 4, 1, 0x0F, 0x0F}, DepthCase{11, 0, 1, 1, 0x01, 0x01},
                      DepthCase{1, 0, 2, 1, 0x03, 0x03}));

TEST_F(ScreenOpenTest, ModeZeroClosesToTheTerminal) {
    ASSERT_EQ(OpenScreen(0, 0, 0, 0, 0), 0);
    EXPECT_EQ(CurrentScreen(), nullptr);
    EXPECT_TRUE(HooksEmpty());
    // The view covers the terminal's rows again.
    EXPECT_EQ(textio::Runtime().view.top, 0);
    EXPECT_GE(textio::Runtime().view.bottom, 0);
}

TEST_F(ScreenOpenTest, CloseScreenIsQuietAndLeavesTheViewUnset) {
    CloseScreen();
    EXPECT_EQ(CurrentScreen(), nullptr);
    EXPECT_TRUE(HooksEmpty());
    EXPECT_EQ(textio::Runtime().view.top, -1);
    EXPECT_EQ(textio::Runtime().view.bottom, -1);
    CloseScreen();  // nothing open: nothing happens
    EXPECT_EQ(CurrentScreen(), nullptr);
}

TEST_F(ScreenOpenTest, ScreenChannelColumnAndWidthFollowTheOpen) {
    textio::PrintStringValue(0, "abc", textio::kMaskNone);
    EXPECT_EQ(textio::Runtime().screen.column, 3u);
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    EXPECT_EQ(textio::Runtime().screen.column, 0u);
    EXPECT_EQ(textio::Runtime().screen.width, 80u);
    ASSERT_EQ(OpenScreen(13, 8, 0, 0, 0), 0);
    EXPECT_EQ(textio::Runtime().screen.width, 40u);
}

TEST(WindowTitleTest, FileNameWithoutDirectoryAndLastExtension) {
    struct Case {
        const char* path;
        const char* title;
    };
    for (const Case& c :
         {Case{"C:\\Programme\\wellenlaenge.exe", "wellenlaenge"},
          Case{"/usr/local/bin/wellen.laenge.exe", "wellen.laenge"},
          Case{"/opt/tools/wellenlaenge", "wellenlaenge"}, Case{"relative.dir/prog", "prog"},
          Case{"a\\b/c.d\\name.x.y", "name.x"}, Case{"plain", "plain"}, Case{"", ""}}) {
        EXPECT_EQ(TitleFromPath(c.path), c.title) << c.path;
    }
}

TEST_F(ScreenOpenTest, TitleComesFromTheRunningProgramAndStays) {
    EXPECT_STREQ(WindowTitle(), "gfxwin_tests");
    ASSERT_EQ(OpenScreen(13, 8, 0, 0, 0), 0);
    EXPECT_STREQ(WindowTitle(), "gfxwin_tests");
}

TEST(ScreenMemoryTest, EveryFailedAllocationLeavesNoScreen) {
    testing::ResetScreenWorld();
    ScopedEnv env("KRGFX", "null");
    const long before = ScreenAllocationCount();
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    const long perOpen = ScreenAllocationCount() - before;
    ASSERT_GE(perOpen, 12);
    // An open first tears the old screen down, so each try starts from an open screen.
    for (int nth = 1; nth <= perOpen; ++nth) {
        ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
        FailScreenAllocation(nth);
        EXPECT_EQ(OpenScreen(18, 8, 0, 0, 0), 1) << "allocation " << nth;
        EXPECT_EQ(CurrentScreen(), nullptr) << "allocation " << nth;
        EXPECT_TRUE(HooksEmpty()) << "allocation " << nth;
        EXPECT_EQ(LookupArea(), nullptr) << "allocation " << nth;
    }
    FailScreenAllocation(perOpen + 1);
    EXPECT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    FailScreenAllocation(0);
    textio::PrintStringValue(0, "still fine", textio::kMaskNone);
    EXPECT_EQ(ReadCell(1, 1, 0), 's');
    testing::ResetScreenWorld();
}

}  // namespace
}  // namespace gfxwin
