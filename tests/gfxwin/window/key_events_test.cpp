// Key events as every host delivers them: control characters, and the
// virtual keys that held keys hold.
#include "gfxwin/window/key_events.h"

#include <gtest/gtest.h>

#include "gfxwin/keys/virtual_keys.h"

namespace gfxwin {
namespace {

TEST(KeyEventsTest, ControlCharactersAsTheKeyboardGivesThem) {
    EXPECT_EQ(ControlCharacter('A'), 1);
    EXPECT_EQ(ControlCharacter('Z'), 26);
    EXPECT_EQ(ControlCharacter(0xDB), 27);
    EXPECT_EQ(ControlCharacter(0xDC), 28);
    EXPECT_EQ(ControlCharacter(0xDD), 29);
    EXPECT_EQ(ControlCharacter(0x0D), 10);
    EXPECT_EQ(ControlCharacter(0x08), 127);
    EXPECT_EQ(ControlCharacter('1'), 0);
    EXPECT_EQ(ControlCharacter(0x70), 0);
}

// AltGr holds Ctrl and right Alt; letting it go frees them, while a left
// Ctrl held on its own stays down.
TEST(KeyEventsTest, AltGrHoldsCtrlAndRightAltUntilReleased) {
    HeldKeys held;
    KeyFacts ctrl;
    ctrl.virtualKey = vk::kControl;
    held.Press(1, HeldVirtualKeys(ctrl, false, false));
    KeyFacts altGr;
    altGr.virtualKey = vk::kMenu;
    altGr.extended = true;
    held.Press(2, HeldVirtualKeys(altGr, false, true));
    uint8_t state[256];
    held.State(state);
    EXPECT_EQ(state[vk::kRightMenu], 0x80);
    EXPECT_EQ(state[vk::kMenu], 0x80);
    EXPECT_EQ(state[vk::kLeftControl], 0x80);
    held.Release(2);
    held.State(state);
    EXPECT_EQ(state[vk::kRightMenu], 0);
    EXPECT_EQ(state[vk::kMenu], 0);
    EXPECT_EQ(state[vk::kLeftControl], 0x80);
    EXPECT_TRUE(held.Held(vk::kControl));
    EXPECT_FALSE(held.Holds(2));
}

}  // namespace
}  // namespace gfxwin
