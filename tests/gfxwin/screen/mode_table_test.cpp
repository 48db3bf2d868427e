// The mode numbers without a row in the mode table.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "support/screen_dump.h"
#include "textio/last_error.h"
#include "textio/runtime_state.h"

namespace gfxwin {
namespace {

using ModeTableTest = testing::NullScreenTest;

TEST_F(ModeTableTest, ModesWithoutARowFailAndChangeNothing) {
    ScreenState* before = CurrentScreen();
    const int32_t id = before->modeId;
    const textio::ConsoleHooks hooks = textio::Runtime().hooks;
    for (int32_t mode : {3, 4, 5, 6, 22, 100, -1}) {
        textio::SetLastError(0);
        EXPECT_EQ(OpenScreen(mode, 8, 0, 0, 0), 1) << mode;
        EXPECT_EQ(textio::LastError(), 1) << mode;
        EXPECT_EQ(CurrentScreen(), before) << mode;
        EXPECT_EQ(CurrentScreen()->modeId, id) << mode;
        EXPECT_EQ(std::memcmp(&textio::Runtime().hooks, &hooks, sizeof hooks), 0) << mode;
    }
}

}  // namespace
}  // namespace gfxwin
