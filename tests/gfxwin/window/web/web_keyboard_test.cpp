// What browser key events mean: the key's place gives the scan code and the
// virtual key, what it types gives the code page 437 character. No browser
// needed.
#include "gfxwin/window/web/web_keyboard.h"

#include <gtest/gtest.h>

#include <tuple>

#include "gfxwin/keys/virtual_keys.h"

namespace gfxwin::web {
namespace {

struct WebKeyCase {
    const char* name;
    WebKeyInput input;
    int scanCode;
    bool extended;
    int virtualKey;
    bool hasChar;
    int cp437;
};

class DescribeWebKeyTest : public ::testing::TestWithParam<WebKeyCase> {};

TEST_P(DescribeWebKeyTest, FillsTheFacts) {
    const WebKeyCase& c = GetParam();
    const KeyFacts f = DescribeWebKey(c.input);
    EXPECT_EQ(std::make_tuple(f.scanCode, f.extended, f.virtualKey, f.hasChar, int{f.cp437}),
              std::make_tuple(c.scanCode, c.extended, c.virtualKey, c.hasChar, c.cp437));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DescribeWebKeyTest,
    ::testing::Values(
        WebKeyCase{"Digit", {"Digit4", "4"}, 0x05, false, '4', true, '4'},
        WebKeyCase{
            "PointOnTheKeypad", {"NumpadDecimal", "."}, 0x53, false, vk::kDecimal, true, '.'},
        WebKeyCase{"Umlaut", {"Quote", "\xC3\xA4"}, 0x28, false, vk::kOem7, true, 0x84},
        WebKeyCase{"MicroWithAltGr",
                   {"KeyM", "\xC2\xB5", false, true, true},
                   0x32,
                   false,
                   'M',
                   true,
                   0xE6},
        WebKeyCase{"OutsideCodePage437", {"KeyE", "\xE2\x82\xAC"}, 0x12, false, 'E', true, '?'},
        WebKeyCase{"LetterByTheLayout", {"KeyZ", "y"}, 0x2C, false, 'Y', true, 'y'},
        WebKeyCase{"Backspace", {"Backspace", "Backspace"}, 0x0E, false, vk::kBack, true, 8},
        WebKeyCase{"Delete", {"Delete", "Delete"}, 0x53, true, vk::kDelete, false, 0},
        WebKeyCase{"ArrowLeft", {"ArrowLeft", "ArrowLeft"}, 0x4B, true, vk::kLeft, false, 0},
        WebKeyCase{
            "KeypadHomeWithoutNumLock", {"Numpad7", "Home"}, 0x47, false, vk::kHome, false, 0},
        WebKeyCase{"CtrlA", {"KeyA", "a", false, true, false}, 0x1E, false, 'A', true, 1},
        WebKeyCase{"DeadKey", {"Equal", "Dead"}, 0x0D, false, vk::kOemPlus, false, 0}),
    [](const ::testing::TestParamInfo<WebKeyCase>& info) { return info.param.name; });

TEST(KeyPlaceTest, ExtendedKeysHaveTheirOwnPlace) {
    const KeyFacts enter = DescribeWebKey({"Enter", "Enter"});
    const KeyFacts keypadEnter = DescribeWebKey({"NumpadEnter", "Enter"});
    EXPECT_EQ(enter.virtualKey, keypadEnter.virtualKey);
    EXPECT_NE(KeyPlace(enter), KeyPlace(keypadEnter));
    EXPECT_EQ(KeyPlace(DescribeWebKey({"Lang1", "HangulMode"})), 0);
}

}  // namespace
}  // namespace gfxwin::web
