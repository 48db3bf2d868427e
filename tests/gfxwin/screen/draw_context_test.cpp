// The drawing context follows the open screen.
#include "gfxwin/screen/draw_context.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "gfxwin/screen_mode.h"
#include "gfxwin/text/text_console.h"
#include "support/screen_dump.h"

namespace gfxwin {
namespace {

using DrawContextTest = testing::NullScreenTest;

TEST_F(DrawContextTest, SecondOpenGetsTheNextModeIdAndARebuiltContext) {
    const int32_t first = Screen().modeId;
    DrawContext& ctx = GetDrawContext();
    SetColours(4, 2, 0);
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    EXPECT_EQ(Screen().modeId, first + 1);
    EXPECT_EQ(ctx.modeId, first + 1);
    EXPECT_EQ(ctx.foreground, 15u);
    EXPECT_EQ(ctx.background, 0u);
    EXPECT_EQ(ctx.rows[0], Screen().pages[0]);
}

}  // namespace
}  // namespace gfxwin
