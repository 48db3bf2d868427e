// The key buffer between the window thread and the drawing thread.
#include "gfxwin/keys/key_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfxwin/keys/key_translation.h"
#include "support/screen_dump.h"
#include "gfxwin/screen_mode.h"

namespace gfxwin {
namespace {

class KeyBufferTest : public testing::NullScreenTest {
  protected:
    void SetUp() override {
        NullScreenTest::SetUp();
        ResetKeyBufferForTest();
    }
    void TearDown() override {
        ResetKeyBufferForTest();
        NullScreenTest::TearDown();
    }

    static std::vector<int32_t> TakeAll() {
        std::vector<int32_t> codes;
        while (KeyAvailable() != 0) codes.push_back(TakeKey());
        return codes;
    }

    static std::string ReadText() {
        char out[2] = {};
        const size_t n = ReadKeyText(out);
        return std::string(out, n);
    }
};

TEST_F(KeyBufferTest, SixteenPostsKeepTheLastFifteen) {
    for (int32_t code = 1; code <= 16; ++code) PostKey(code);
    std::vector<int32_t> expected;
    for (int32_t code = 2; code <= 16; ++code) expected.push_back(code);
    EXPECT_EQ(TakeAll(), expected);
    EXPECT_EQ(TakeKey(), 0);
}

TEST_F(KeyBufferTest, FifteenPostsAreAllKeptInOrder) {
    for (int32_t code = 1; code <= 15; ++code) PostKey(code);
    const std::vector<int32_t> codes = TakeAll();
    ASSERT_EQ(codes.size(), 15u);
    EXPECT_EQ(codes.front(), 1);
    EXPECT_EQ(codes.back(), 15);
}

TEST_F(KeyBufferTest, TheRingWrapsAroundAfterReads) {
    // Move the indices near the end of the slots, then fill across the wrap.
    for (int i = 0; i < 12; ++i) PostKey(100 + i);
    EXPECT_EQ(TakeAll().size(), 12u);
    for (int32_t code = 1; code <= 17; ++code) PostKey(code);
    std::vector<int32_t> expected;
    for (int32_t code = 3; code <= 17; ++code) expected.push_back(code);
    EXPECT_EQ(TakeAll(), expected);
}

struct TextCase {
    const char* name;
    int32_t code;
    std::string text;
};

class KeyTextTest : public KeyBufferTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(KeyTextTest, ReadsTheCodeAsItsBytes) {
    PostKey(GetParam().code);
    EXPECT_EQ(ReadText(), GetParam().text);
    EXPECT_EQ(KeyAvailable(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, KeyTextTest,
    ::testing::Values(TextCase{"Letter", 97, "a"},
                      TextCase{"F1", ExtendedKeyCode(59), std::string("\xFF\x3B", 2)},
                      TextCase{"Left", ExtendedKeyCode(75), std::string("\xFF\x4B", 2)},
                      TextCase{"CloseCode", kCloseCode,
                               std::string("\xFF"
                                           "k",
                                           2)},
                      TextCase{"AUmlautFromCharacterPath", -124, std::string("\x84", 1)},
                      TextCase{"Byte255FromCharacterPath", -1, std::string("\xFF", 1)},
                      TextCase{"ControlA", 1, std::string("\x01", 1)},
                      TextCase{"ZeroIsNoKey", 0, std::string()}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST_F(KeyBufferTest, ReadingAsTextWithoutAKeyGivesNothing) {
    EXPECT_EQ(ReadText(), "");
}

TEST_F(KeyBufferTest, ReadingAsTextWithoutAScreenLeavesTheKey) {
    PostKey(97);
    CloseScreen();
    EXPECT_EQ(ReadText(), "");
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    // The buffer outlives the screen: the key is still there.
    EXPECT_EQ(ReadText(), "a");
}

TEST_F(KeyBufferTest, PostingSetsTheFlagAndTakingTheFlagClearsIt) {
    EXPECT_EQ(TakeKeyPostedFlag(), 0);
    PostKey(65);
    EXPECT_EQ(TakeKeyPostedFlag(), 1);
    EXPECT_EQ(TakeKeyPostedFlag(), 0);
    // The key itself is still waiting.
    EXPECT_EQ(KeyAvailable(), 1);
}

TEST_F(KeyBufferTest, TakingAKeyClearsTheFlagEvenWhenNoneWaits) {
    PostKey(65);
    EXPECT_EQ(TakeKey(), 65);
    EXPECT_EQ(TakeKeyPostedFlag(), 0);
    PostKey(66);
    PostKey(67);
    EXPECT_EQ(TakeKey(), 66);
    // One key taken, one left; the flag went with the first take.
    EXPECT_EQ(TakeKeyPostedFlag(), 0);
    EXPECT_EQ(KeyAvailable(), 1);
}

TEST_F(KeyBufferTest, WaitForKeyReturnsAWaitingKeyAtOnce) {
    PostKey(ExtendedKeyCode(72));
    EXPECT_EQ(WaitForKey(), ExtendedKeyCode(72));
}

TEST_F(KeyBufferTest, WaitForKeyWithoutAScreenReturnsZero) {
    CloseScreen();
    PostKey(97);
    EXPECT_EQ(WaitForKey(), 0);
}

}  // namespace
}  // namespace gfxwin
