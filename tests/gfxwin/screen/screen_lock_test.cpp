// The nesting screen lock: the driver's lock is taken once for the outermost
// pair, and the unlock marks the rows it is given.
#include "gfxwin/screen/screen_lock.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "support/screen_dump.h"
#include "support/screen_open.h"

namespace gfxwin {
namespace {

using testing::FakeDriver;
using testing::gDriverLog;
using testing::ScopedEnv;

using ScreenLockTest = testing::NullScreenTest;
using ScreenLockDriverTest = testing::FakeDriverTest;

TEST_F(ScreenLockTest, UnlockMarksTheGivenRows) {
    struct Case {
        int32_t first, last, marked, lo, hi;
    };
    for (const Case& c : {Case{10, 20, 11, 10, 21}, Case{1, 0, 0, 0, 0}, Case{-5, 3, 4, 0, 4},
                          Case{470, -1, 10, 470, 480}, Case{0, 480, 0, 0, 0}}) {
        testing::ClearDirty();
        LockScreen();
        UnlockScreen(c.first, c.last);
        EXPECT_EQ(testing::DirtyCount(0, 480), c.marked) << c.first << ".." << c.last;
        EXPECT_EQ(testing::DirtyCount(c.lo, c.hi), c.marked) << c.first << ".." << c.last;
    }
}

TEST_F(ScreenLockDriverTest, PaletteGoesToTheDriverAndLocksNest) {
    ScopedEnv env("KRGFX", std::nullopt);
    gDriverLog.accept = "DirectX";
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    const ScreenState& s = *CurrentScreen();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(gDriverLog.palette[static_cast<size_t>(i)], s.palette[i]) << i;
        EXPECT_EQ(s.devicePalette[i], s.palette[i]) << i;
    }
    const int locks = gDriverLog.locks;
    const int unlocks = gDriverLog.unlocks;
    EXPECT_EQ(locks, unlocks);
    LockScreen();
    LockScreen();
    EXPECT_EQ(gDriverLog.locks, locks + 1);
    EXPECT_EQ(CurrentScreen()->lockCount, 2);
    UnlockScreen(1, 0);
    EXPECT_EQ(gDriverLog.unlocks, unlocks);
    UnlockScreen(1, 0);
    EXPECT_EQ(gDriverLog.unlocks, unlocks + 1);
    UnlockScreen(1, 0);  // unbalanced: the count stays at 0
    EXPECT_EQ(gDriverLog.unlocks, unlocks + 1);
    EXPECT_EQ(CurrentScreen()->lockCount, 0);

    CloseScreen();
    EXPECT_EQ(gDriverLog.calls.back(), "DirectX exit");
}

}  // namespace
}  // namespace gfxwin
