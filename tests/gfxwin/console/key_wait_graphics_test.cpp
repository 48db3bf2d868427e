// Key reads and waits while a screen is open: ReadChars on the key buffer, the
// window's Pause with its flag tests and sleeps (recorded through an injected
// sleep, no clock), and the order of the program end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfxwin/console/graphics_pause.h"
#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen_mode.h"
#include "support/environment.h"
#include "support/screen_dump.h"
#include "textio/key_wait.h"
#include "textio/runtime.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"
#include "textio/sleep.h"

namespace gfxwin {
namespace {

constexpr int32_t kLeft = 255 + 256 * 75;
constexpr int32_t kCloseButton = 255 + 256 * 107;

// Posts a key during the n-th sleep (1-based); 0 posts none.
struct SleepLog {
    std::vector<int> sleeps;
    size_t postAt = 0;
    int32_t code = 'k';
};

SleepLog gLog;

void RecordingSleep(int milliseconds) {
    gLog.sleeps.push_back(milliseconds);
    if (gLog.sleeps.size() == gLog.postAt) PostKey(gLog.code);
    // A wait that never ends would hang the test: stop it with a key.
    if (gLog.sleeps.size() > 1000) PostKey('!');
}

class KeyWaitGraphicsTest : public testing::NullScreenKeyTest {
  protected:
    void SetUp() override {
        NullScreenKeyTest::SetUp();
        gLog = SleepLog{};
        previous_ = textio::SetSleepFunction(RecordingSleep);
    }
    void TearDown() override {
        textio::SetSleepFunction(previous_);
        NullScreenKeyTest::TearDown();
    }
    static textio::KeyTextBuffer* KeyText() {
        return static_cast<textio::KeyTextBuffer*>(textio::Runtime().screen.stream);
    }

  private:
    textio::SleepFunction previous_ = nullptr;
};

TEST_F(KeyWaitGraphicsTest, ReadCharsTakesAnOrdinaryKey) {
    PostKey('A');
    EXPECT_EQ(textio::ReadChars(1, 0), "A");
    EXPECT_TRUE(gLog.sleeps.empty());
    EXPECT_EQ(KeyAvailable(), 0);
}

TEST_F(KeyWaitGraphicsTest, ReadCharsOfAnExtendedKeyLeavesTheSecondByteBehind) {
    PostKey(kLeft);
    EXPECT_EQ(textio::ReadChars(1, 0), "\xFF");
    ASSERT_EQ(KeyText()->count, 1);
    EXPECT_EQ(KeyText()->text[0], 75);
    // The next read of the channel takes that byte without a new key.
    EXPECT_EQ(textio::ReadChars(1, 0), "K");
    EXPECT_TRUE(gLog.sleeps.empty());
}

TEST_F(KeyWaitGraphicsTest, ReadCharsOfTheCloseButtonGivesByte255) {
    PostKey(kCloseButton);
    EXPECT_EQ(textio::ReadChars(1, 0), "\xFF");
    EXPECT_EQ(KeyText()->text[0], 'k');
}

TEST_F(KeyWaitGraphicsTest, ReadCharsPollsEvery25Milliseconds) {
    gLog.postAt = 3;
    gLog.code = 'q';
    EXPECT_EQ(textio::ReadChars(1, 0), "q");
    EXPECT_EQ(gLog.sleeps, (std::vector<int>{25, 25, 25}));
}

TEST_F(KeyWaitGraphicsTest, PauseAfterReadCharsWaitsForAKeyPressedAfterward) {
    PostKey('a');
    PostKey('b');  // typed ahead: still in the buffer, but already posted
    EXPECT_EQ(textio::ReadChars(1, 0), "a");
    gLog.postAt = 3;
    gLog.code = 'c';
    textio::Pause(-1);
    EXPECT_EQ(gLog.sleeps, (std::vector<int>{50, 50, 50}));
    // Pause took no key out of the buffer.
    EXPECT_EQ(TakeKey(), 'b');
    EXPECT_EQ(TakeKey(), 'c');
}

TEST_F(KeyWaitGraphicsTest, PauseIgnoresTheByteLeftInTheKeyText) {
    PostKey(kCloseButton);
    EXPECT_EQ(textio::ReadChars(1, 0), "\xFF");
    gLog.postAt = 2;
    textio::Pause(-1);
    EXPECT_EQ(gLog.sleeps, (std::vector<int>{50, 50}));
    EXPECT_EQ(KeyText()->count, 1);
}

struct PauseCase {
    const char* name;
    int32_t ms;
    size_t postAt;   // post a key during this sleep (1-based); 0 none
    bool postFirst;  // a key was posted before the pause
    std::vector<int> sleeps;
    int flagAfter;  // the key-posted flag once the pause returned
};

class GraphicsPauseTest : public KeyWaitGraphicsTest,
                          public ::testing::WithParamInterface<PauseCase> {};

TEST_P(GraphicsPauseTest, FlagTestsAndSleepsFollowTheRules) {
    const PauseCase& c = GetParam();
    if (c.postFirst) PostKey('p');
    gLog.postAt = c.postAt;
    GraphicsPause(c.ms);
    EXPECT_EQ(gLog.sleeps, c.sleeps);
    EXPECT_EQ(TakeKeyPostedFlag(), c.flagAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, GraphicsPauseTest,
    ::testing::Values(PauseCase{"UntilKeyPostedDuringThirdSleep", -1, 3, false, {50, 50, 50}, 0},
                      PauseCase{"UntilKeyPostedBefore", -1, 0, true, {}, 0},
                      PauseCase{"Ms120NoKey", 120, 0, false, {50, 50, 20}, 0},
                      PauseCase{"Ms120KeyBefore", 120, 0, true, {}, 0},
                      PauseCase{"Ms120KeyInFirstSleep", 120, 1, false, {50}, 0},
                      // The second sleep is followed by no flag test: the key does not shorten it.
                      PauseCase{"Ms120KeyInSecondSleep", 120, 2, false, {50, 50, 20}, 1},
                      PauseCase{"Ms100", 100, 0, false, {50, 50}, 0},
                      PauseCase{"Ms101", 101, 0, false, {50, 50, 1}, 0},
                      PauseCase{"Ms150", 150, 0, false, {50, 50, 50}, 0},
                      PauseCase{"Ms99", 99, 0, false, {99}, 0},
                      PauseCase{"Ms60KeyBefore", 60, 0, true, {60}, 1},
                      PauseCase{"Ms1", 1, 0, false, {1}, 0}, PauseCase{"Ms0", 0, 0, true, {}, 1},
                      PauseCase{"MsMinus5", -5, 0, true, {}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyWaitGraphicsTest, PauseRunsThroughTheSleepSlot) {
    gLog.postAt = 2;
    textio::Pause(-1);
    EXPECT_EQ(gLog.sleeps, (std::vector<int>{50, 50}));
    gLog = SleepLog{};
    textio::Pause(60);
    EXPECT_EQ(gLog.sleeps, (std::vector<int>{60}));
}

TEST_F(KeyWaitGraphicsTest, WaitForKeyPollsWith20MillisecondPauses) {
    gLog.postAt = 2;
    gLog.code = 'w';
    EXPECT_EQ(WaitForKey(), 'w');
    EXPECT_EQ(gLog.sleeps, (std::vector<int>{20, 20}));
}

// The program end closes the screen through its hook before the C library's
// exit runs the exit routines.
void ReportScreenAtExit() {
    std::fputs(
        CurrentScreen() == nullptr ? "[screen closed before exit]" : "[screen still open at exit]",
        stderr);
    std::fflush(stderr);
}

void OpenScreenAndEnd(int code) {
    testing::ResetScreenWorld();
    testsupport::SetEnvironment("KRGFX", "null");
    if (OpenScreen(18, 8, 0, 0, 0) != 0) std::_Exit(99);
    std::atexit(ReportScreenAtExit);
    textio::EndProgram(code);
}

TEST(EndProgramTest, HookClosesTheScreenBeforeExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(OpenScreenAndEnd(0), ::testing::ExitedWithCode(0),
                "\\[screen closed before exit\\]");
    EXPECT_EXIT(OpenScreenAndEnd(3), ::testing::ExitedWithCode(3),
                "\\[screen closed before exit\\]");
}

TEST(EndProgramTest, WithoutAHookItOnlyExits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            testing::ResetScreenWorld();
            textio::EndProgram(5);
        },
        ::testing::ExitedWithCode(5), "");
}

}  // namespace
}  // namespace gfxwin
