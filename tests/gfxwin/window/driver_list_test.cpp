// The choice of the window driver: "KRGFX", the list order, the passes with
// and without a name, and a platform without drivers.
#include "gfxwin/window/driver_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/text/text_console.h"
#include "support/screen_dump.h"
#include "support/screen_open.h"
#include "textio/last_error.h"
#include "textio/print.h"
#include "textio/runtime_state.h"

namespace gfxwin {
namespace {

using testing::FakeDriver;
using testing::FakeDriverTest;
using testing::gDriverLog;
using testing::HooksEmpty;
using testing::ScopedEnv;

TEST(DriverChoiceTest, NullInAnyCaseOpensWithoutAWindow) {
    for (const char* name : {"null", "NULL", "Null", "nULl"}) {
        testing::ResetScreenWorld();
        ScopedEnv env("KRGFX", name);
        ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0) << name;
        EXPECT_STREQ(CurrentScreen()->driver->name, "Null") << name;
        textio::PrintStringValue(0, "ok", textio::kMaskNone);
        EXPECT_EQ(ReadCell(1, 1, 0), 'o') << name;
    }
    testing::ResetScreenWorld();
}

TEST(DriverChoiceTest, WithoutKrgfxTheEmptyListFailsAndTearsEverythingDown) {
    testing::ResetScreenWorld();
    {
        ScopedEnv env("KRGFX", "null");
        ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    }
    ScopedEnv env("KRGFX", std::nullopt);
    // A platform without window drivers.
    const WindowDriver* const none[] = {nullptr};
    OverrideDriverList(none, 0);
    ASSERT_TRUE(PlatformDrivers().empty());
    textio::SetLastError(0);
    EXPECT_EQ(OpenScreen(18, 8, 0, 0, 0), 1);
    OverrideDriverList(nullptr, 0);
    EXPECT_EQ(textio::LastError(), 1);
    EXPECT_EQ(CurrentScreen(), nullptr);
    EXPECT_TRUE(HooksEmpty());
    EXPECT_EQ(LookupArea(), nullptr);
    EXPECT_EQ(textio::Runtime().view.top, -1);
    // Flags of -1 take the Null driver without a name.
    EXPECT_EQ(OpenScreen(18, 8, 0, -1, 0), 0);
    EXPECT_STREQ(CurrentScreen()->driver->name, "Null");
    testing::ResetScreenWorld();
}

TEST_F(FakeDriverTest, NamedDriverIsTriedFirst) {
    ScopedEnv env("KRGFX", "gdi");
    gDriverLog.accept = "GDI";
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 60), 0);
    EXPECT_EQ(gDriverLog.calls, std::vector<std::string>{"GDI init 640x480x8 rate 60 flags 0"});
    EXPECT_EQ(CurrentScreen()->driver, &FakeDriver<1>::kDriver);
}

TEST_F(FakeDriverTest, WithoutANameTheListOrderHolds) {
    ScopedEnv env("KRGFX", std::nullopt);
    gDriverLog.accept = "GDI";
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 60), 0);
    const std::vector<std::string> want{"DirectX init 640x480x8 rate 60 flags 0", "DirectX exit",
                                        "DirectX init 640x480x8 rate 0 flags 0", "DirectX exit",
                                        "GDI init 640x480x8 rate 60 flags 0"};
    EXPECT_EQ(gDriverLog.calls, want);
}

TEST_F(FakeDriverTest, EveryPassFailsWithANameThenTheScreenIsGone) {
    ScopedEnv env("KRGFX", "GDI");
    EXPECT_EQ(OpenScreen(8, 0, 0, 0, 70), 1);  // mode 8: two scanlines per row
    // Per round: the named pass tries GDI, the full pass DirectX and GDI; each
    // driver with the requested rate and then 0. The second round flips full screen.
    std::vector<std::string> want;
    for (const char* flags : {"0", "1"}) {
        for (const char* name : {"GDI", "DirectX", "GDI"}) {
            for (const char* rate : {"70", "0"}) {
                want.push_back(std::string(name) + " init 640x400x4 rate " + rate + " flags " +
                               flags);
                want.push_back(std::string(name) + " exit");
            }
        }
    }
    EXPECT_EQ(gDriverLog.calls, want);
    EXPECT_EQ(CurrentScreen(), nullptr);
    EXPECT_TRUE(HooksEmpty());
}

}  // namespace
}  // namespace gfxwin
