// Several pages: drawing to a hidden page, copying it and showing it.
#include "gfxwin/screen/pages.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/text/text_engine.h"
#include "support/screen_dump.h"

namespace gfxwin {
namespace {

using PagesTest = testing::NullScreenTest;

TEST_F(PagesTest, PagesCopyAndSelect) {
    ASSERT_EQ(OpenScreen(18, 8, 2, 0, 0), 0);
    ASSERT_EQ(Screen().pageCount, 2);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(Screen().pages[1]) % 16, 0u);
    ASSERT_EQ(SelectPages(1, -1), 0);
    testing::ClearDirty();
    PrintText("X", 1, 0);
    EXPECT_EQ(testing::DirtyCount(0, 480), 0);  // drawing went to the hidden page
    EXPECT_TRUE(testing::RowsAre(0, 16, 0));
    EXPECT_TRUE(testing::CellMismatch(0, 0, 'X', 15, 0).size() > 0);
    EXPECT_EQ(CopyPage(1, 0), 0);
    EXPECT_EQ(testing::DirtyCount(0, 480), 480);
    EXPECT_EQ(testing::CellMismatch(0, 0, 'X', 15, 0), "");
    EXPECT_EQ(CopyPage(0, 2), 1);
    EXPECT_EQ(SelectPages(-1, 2), 1);
    EXPECT_EQ(SelectPages(0, 1), 0);
    EXPECT_EQ(Screen().framebuffer, Screen().pages[1]);
}

}  // namespace
}  // namespace gfxwin
