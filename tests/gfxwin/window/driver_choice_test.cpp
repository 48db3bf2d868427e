// The driver choice says on standard error when "KRGFX" names a driver that
// does not start, or no driver at all, and why; and nothing otherwise.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "gfxwin/window/driver_list.h"
#include "gfxwin/window/refusal.h"
#include "support/screen_dump.h"

namespace gfxwin {
namespace {

using testing::ScopedEnv;

int gAlphaInits = 0;
int gBetaInits = 0;

int AlphaInit(const char*, int32_t, int32_t, int32_t, int32_t, int32_t) {
    ++gAlphaInits;
    return 0;
}

// Refuses every start, as a driver without its display would.
int BetaInit(const char*, int32_t, int32_t, int32_t, int32_t, int32_t) {
    ++gBetaInits;
    RefuseStart("Anzeige \"%s\" nicht erreichbar", ":5");
    return -1;
}

void NoExit() {}

constexpr WindowDriver kAlpha{.name = "Alpha", .init = AlphaInit, .exit = NoExit};
constexpr WindowDriver kBeta{.name = "Beta", .init = BetaInit, .exit = NoExit};
const WindowDriver* const kList[] = {&kAlpha, &kBeta};

class DriverChoiceReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        OverrideDriverList(kList, 2);
        gAlphaInits = gBetaInits = 0;
    }
    void TearDown() override { OverrideDriverList(nullptr, 0); }

    // Standard error while the choice runs, and the driver it took.
    static std::string Choose(const WindowDriver** chosen) {
        ::testing::internal::CaptureStderr();
        *chosen = StartDriver("t", 640, 480, 8, 0, 0);
        return ::testing::internal::GetCapturedStderr();
    }
};

TEST_F(DriverChoiceReportTest, ANameOfNoDriverIsSaidWithTheNamesThereAre) {
    ScopedEnv env("KRGFX", "foo");
    const WindowDriver* chosen = nullptr;
    EXPECT_EQ(Choose(&chosen),
              "wellenlaenge: KRGFX=foo: kein solcher Fenstertreiber (vorhanden: Alpha, Beta)\n");
    EXPECT_EQ(chosen, &kAlpha);  // the choice goes on through the list
}

TEST_F(DriverChoiceReportTest, ANamedDriverThatRefusesIsSaidOnceWithItsReason) {
    ScopedEnv env("KRGFX", "BETA");
    const WindowDriver* chosen = nullptr;
    EXPECT_EQ(Choose(&chosen),
              "wellenlaenge: KRGFX=BETA: Fenstertreiber startet nicht "
              "(Anzeige \":5\" nicht erreichbar)\n");
    EXPECT_EQ(chosen, &kAlpha);
    EXPECT_EQ(gBetaInits, 2);  // the requested refresh rate, then 0
}

TEST_F(DriverChoiceReportTest, NothingIsSaidWithoutANameWithNullOrWhenTheNamedDriverStarts) {
    for (const char* name : {static_cast<const char*>(nullptr), "null", "alpha"}) {
        ScopedEnv env("KRGFX", name != nullptr ? std::optional<std::string>(name) : std::nullopt);
        const WindowDriver* chosen = nullptr;
        EXPECT_EQ(Choose(&chosen), "") << (name != nullptr ? name : "(unset)");
        EXPECT_NE(chosen, nullptr);
    }
    EXPECT_EQ(gBetaInits, 0);
}

}  // namespace
}  // namespace gfxwin
