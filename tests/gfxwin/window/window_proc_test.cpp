// The window procedure fed with neutral window messages: key and character
// paths, the close button, activation, the full-screen toggle, the mouse and
// the event queue.
#include "gfxwin/window/window_proc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/keys/key_translation.h"
#include "gfxwin/keys/virtual_keys.h"
#include "gfxwin/window/presentation.h"
#include "gfxwin/window/window.h"
#include "support/screen_dump.h"
#include "tests/gfxwin/window/window_fixture.h"
#include "tests/gfxwin/window/window_test_support.h"

namespace gfxwin {
namespace {

using host::MessageKind;
using host::WindowMessage;

WindowMessage Key(MessageKind kind, int scan, int vk, uint8_t ch = 0, uint8_t unshifted = 0,
                  bool extended = false) {
    return {.kind = kind,
            .scanCode = scan,
            .virtualKey = vk,
            .extended = extended,
            .character = ch,
            .unshiftedChar = unshifted};
}

WindowMessage Char(uint8_t cp437, int repeat = 1) {
    return {.kind = MessageKind::kChar, .repeatCount = repeat, .cp437 = cp437};
}

class WindowProcTest : public testing::FakeWindowTest {
  protected:
    void SetUp() override {
        FakeWindowTest::SetUp();
        ResetKeyBufferForTest();
        ClearEvents();
        testing::ClearDirty();
    }
    void TearDown() override {
        ResetKeyBufferForTest();
        FakeWindowTest::TearDown();
    }

    void Send(const WindowMessage& m) { WindowProcedure(ws_, mouse_, m); }

    static std::vector<int32_t> Codes() {
        std::vector<int32_t> codes;
        while (KeyAvailable() != 0) codes.push_back(TakeKey());
        return codes;
    }

    static std::vector<WindowEvent> Events() { return testing::RecordedEvents(); }

    std::vector<int32_t> EventKinds() {
        std::vector<int32_t> kinds;
        for (const WindowEvent& e : Events()) kinds.push_back(e.kind);
        return kinds;
    }

    void ClearEvents() {
        Screen().eventHead = 0;
        Screen().eventTail = 0;
    }
};

// One key press as the host delivers it: the key message, and the character
// message that follows keys typing a character outside system keys.
struct KeyCase {
    const char* name;
    std::vector<int> held;  // virtual keys down in the keyboard state
    std::vector<WindowMessage> messages;
    std::vector<int32_t> codes;   // the key buffer afterwards
    std::vector<int32_t> events;  // kinds recorded
};

class KeyPathTest : public WindowProcTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyPathTest, PostsTheExpectedCodes) {
    for (int vk : GetParam().held) host_.Hold(vk);
    for (const WindowMessage& m : GetParam().messages) Send(m);
    EXPECT_EQ(Codes(), GetParam().codes);
    EXPECT_EQ(EventKinds(), GetParam().events);
}

WindowMessage AltKey(int scan, int vk, uint8_t ch = 0, uint8_t unshifted = 0) {
    WindowMessage m = Key(MessageKind::kSysKeyDown, scan, vk, ch, unshifted);
    m.altHeld = true;
    return m;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyPathTest,
    ::testing::Values(
        KeyCase{"F1", {}, {Key(MessageKind::kKeyDown, 59, vk::kF1)}, {ExtendedKeyCode(59)}, {1}},
        KeyCase{"ShiftF1",
                {vk::kShift, vk::kLeftShift},
                {Key(MessageKind::kKeyDown, 59, vk::kF1)},
                {ExtendedKeyCode(84)},
                {1}},
        KeyCase{"Up",
                {},
                {Key(MessageKind::kKeyDown, 72, vk::kUp, 0, 0, true)},
                {ExtendedKeyCode(72)},
                {1}},
        KeyCase{"CtrlUpWithRightCtrl",
                {vk::kControl, vk::kRightControl},
                {Key(MessageKind::kKeyDown, 72, vk::kUp, 0, 0, true)},
                {ExtendedKeyCode(141)},
                {1}},
        KeyCase{"Delete",
                {},
                {Key(MessageKind::kKeyDown, 83, vk::kDelete, 0, 0, true)},
                {ExtendedKeyCode(83)},
                {1}},
        KeyCase{"LetterAOnlyThroughTheCharacterPath",
                {},
                {Key(MessageKind::kKeyDown, 30, 'A', 'a', 'A'), Char('a')},
                {97},
                {1}},
        KeyCase{"AltAPostsNothing", {vk::kMenu}, {AltKey(30, 'A', 'a', 'A')}, {}, {2}},
        KeyCase{"CtrlAGivesControlCharacter",
                {vk::kControl},
                {Key(MessageKind::kKeyDown, 30, 'A', 1, 'A'), Char(1)},
                {1},
                {1}},
        KeyCase{"AUmlautStoredAsSignedCp437",
                {},
                {Key(MessageKind::kKeyDown, 40, vk::kOem7, 0xE4, 0xE4), Char(0x84)},
                {-124},
                {1}},
        KeyCase{"AltF4PostsNothingAndRecordsNothing", {vk::kMenu}, {AltKey(62, vk::kF4)}, {}, {}},
        KeyCase{"F10IsASystemKeyThatDoesNothing",
                {},
                {Key(MessageKind::kSysKeyDown, 68, vk::kF10)},
                {},
                {}},
        KeyCase{"AltAloneDoesNothing", {vk::kMenu}, {AltKey(56, vk::kMenu)}, {}, {}},
        KeyCase{"ShiftAlonePostsNothing",
                {vk::kShift, vk::kLeftShift},
                {Key(MessageKind::kKeyDown, 42, vk::kShift)},
                {},
                {1}},
        KeyCase{"KeyUpPostsNothing", {}, {Key(MessageKind::kKeyUp, 59, vk::kF1)}, {}, {2}},
        KeyCase{
            "CloseButton", {}, {WindowMessage{MessageKind::kClose}}, {kCloseCode}, {kEventClose}}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(WindowProcTest, AUmlautReadsAsTheSingleByte132) {
    Send(Key(MessageKind::kKeyDown, 40, vk::kOem7, 0xE4, 0xE4));
    Send(Char(0x84));
    char text[2] = {};
    ASSERT_EQ(ReadKeyText(text), 1u);
    EXPECT_EQ(static_cast<uint8_t>(text[0]), 132);
}

TEST_F(WindowProcTest, KeyEventsCarryTheScanCodeOfTheVirtualKeyAndTheByteCode) {
    Send(Key(MessageKind::kKeyDown, 30, 'A', 'a', 'A'));
    Send(Key(MessageKind::kKeyDown, 72, vk::kUp, 0, 0, true));
    const std::vector<WindowEvent> events = Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].field[0], 30);
    EXPECT_EQ(events[0].field[1], 'a');
    EXPECT_EQ(events[1].field[0], 72);
    EXPECT_EQ(events[1].field[1], 0);  // extended codes are not bytes
}

TEST_F(WindowProcTest, AutoRepeatPostsOncePerRepeatAndRecordsRepeatEvents) {
    WindowMessage first = Key(MessageKind::kKeyDown, 75, vk::kLeft, 0, 0, true);
    WindowMessage again = first;
    again.previousDown = true;
    again.repeatCount = 2;
    Send(first);
    Send(again);
    EXPECT_EQ(Codes(), (std::vector<int32_t>{ExtendedKeyCode(75), ExtendedKeyCode(75),
                                             ExtendedKeyCode(75)}));
    EXPECT_EQ(EventKinds(), (std::vector<int32_t>{kEventKeyPress, kEventKeyRepeat}));
}

TEST_F(WindowProcTest, CharacterRepeatCountPostsEveryCopyIncludingZero) {
    Send(Char('x', 3));
    Send(Char(0, 1));
    EXPECT_EQ(Codes(), (std::vector<int32_t>{'x', 'x', 'x', 0}));
    EXPECT_TRUE(Events().empty());
}

TEST_F(WindowProcTest, CloseButtonPostsOnceAndLeavesTheWindowOpen) {
    Send(WindowMessage{MessageKind::kClose});
    EXPECT_EQ(Codes(), std::vector<int32_t>{kCloseCode});
    EXPECT_FALSE(host_.destroyed);
    EXPECT_TRUE(ws_.active);
}

TEST_F(WindowProcTest, SystemKeysOfAnInactiveWindowDoNothing) {
    ws_.active = false;
    WindowMessage altEnter = AltKey(28, vk::kReturn);
    Send(altEnter);
    EXPECT_EQ(host_.fullScreenSwitches, 0);
    EXPECT_TRUE(Events().empty());
}

TEST_F(WindowProcTest, AltEnterTogglesFullScreenAndShowsEverythingAgain) {
    Send(AltKey(28, vk::kReturn));
    EXPECT_TRUE(host_.fullScreen);
    EXPECT_EQ(ws_.flags & kScreenFullScreen, kScreenFullScreen);
    EXPECT_TRUE(ws_.paletteChanged);
    EXPECT_EQ(ws_.paletteCopy[15][0], 255);  // white came back from the device palette
    EXPECT_EQ(testing::DirtyCount(0, 480), 480);
    EXPECT_TRUE(Codes().empty());
    Send(AltKey(28, vk::kReturn));
    EXPECT_FALSE(host_.fullScreen);
    EXPECT_EQ(host_.fullScreenSwitches, 2);
}

TEST_F(WindowProcTest, NoSwitchFlagKeepsTheWindow) {
    ws_.flags = kScreenNoSwitch;
    Send(AltKey(28, vk::kReturn));
    Send(WindowMessage{MessageKind::kMaximize});
    EXPECT_EQ(host_.fullScreenSwitches, 0);
    EXPECT_EQ(ws_.flags, kScreenNoSwitch);
}

TEST_F(WindowProcTest, MaximiseOfTheActiveWindowGoesFullScreen) {
    Send(WindowMessage{MessageKind::kMaximize});
    EXPECT_TRUE(host_.fullScreen);
}

TEST_F(WindowProcTest, DeactivationClearsKeyStatesAndButtons) {
    Screen().keyStates[30] = 1;
    Screen().keyStates[75] = 1;
    mouse_.buttons = host::kButtonLeft | host::kButtonRight;
    WindowMessage off{MessageKind::kActivate};
    off.active = false;
    Send(off);
    EXPECT_FALSE(ws_.active);
    const uint8_t* keys = Screen().keyStates;
    EXPECT_EQ(std::count(keys, keys + kKeyStateCount, 1), 0);
    EXPECT_EQ(mouse_.buttons, 0);
    EXPECT_EQ(testing::DirtyCount(0, 480), 480);
    EXPECT_EQ(EventKinds(), std::vector<int32_t>{kEventFocusLost});
}

TEST_F(WindowProcTest, ActivationRecordsFocusAndEntersWhenThePointerIsInside) {
    ws_.active = false;
    host_.pointerInside = true;
    WindowMessage on{MessageKind::kActivate};
    on.active = true;
    Send(on);
    EXPECT_TRUE(ws_.active);
    EXPECT_EQ(EventKinds(), (std::vector<int32_t>{kEventFocusGained, kEventMouseEnter}));
    EXPECT_TRUE(mouse_.tracked);
}

TEST_F(WindowProcTest, ActivationWhileMinimisedStaysInactiveWithoutFocusEvents) {
    WindowMessage m{MessageKind::kActivate};
    m.active = true;
    m.minimized = true;
    Send(m);
    EXPECT_FALSE(ws_.active);
    EXPECT_TRUE(Events().empty());
}

TEST_F(WindowProcTest, LosingFocusWhileTrackedRecordsTheExitFirst) {
    mouse_.tracked = true;
    mouse_.clip = true;
    WindowMessage off{MessageKind::kActivate};
    Send(off);
    EXPECT_EQ(EventKinds(), (std::vector<int32_t>{kEventMouseExit, kEventFocusLost}));
    EXPECT_EQ(host_.confines, std::vector<bool>{false});
}

WindowMessage Move(int x, int y, int sx, int sy) {
    WindowMessage m{MessageKind::kMouseMove};
    m.x = x;
    m.y = y;
    m.screenX = sx;
    m.screenY = sy;
    return m;
}

TEST_F(WindowProcTest, MouseMovesEnterOnceThenReportDeltas) {
    host_.pointerInside = true;
    Send(Move(10, 20, 110, 220));  // first move: enter, no delta yet
    Send(Move(13, 24, 113, 224));
    Send(Move(13, 24, 113, 224));  // no movement, no event
    const std::vector<WindowEvent> events = Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, kEventMouseEnter);
    EXPECT_EQ(events[1].kind, kEventMouseMove);
    EXPECT_EQ(events[1].field[0], 13);
    EXPECT_EQ(events[1].field[1], 24);
    EXPECT_EQ(events[1].field[2], 3);
    EXPECT_EQ(events[1].field[3], 4);

    int32_t x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
    EXPECT_EQ(GetMouse(&x, &y, &wheel, &buttons, &clip), -1);  // not the running window
    EXPECT_EQ(mouse_.x, 13);
    EXPECT_EQ(mouse_.y, 24);
}

TEST_F(WindowProcTest, ButtonsWheelsAndLeave) {
    host_.pointerInside = true;
    auto button = [](MessageKind kind, int bit) {
        WindowMessage m{kind};
        m.button = bit;
        return m;
    };
    auto wheel = [](MessageKind kind, int delta) {
        WindowMessage m{kind};
        m.delta = delta;
        return m;
    };
    Send(button(MessageKind::kButtonDown, host::kButtonLeft));
    Send(button(MessageKind::kButtonDown, host::kButtonExtra2));
    EXPECT_EQ(mouse_.buttons, host::kButtonLeft | host::kButtonExtra2);
    Send(button(MessageKind::kButtonDoubleClick, host::kButtonRight));
    Send(button(MessageKind::kButtonUp, host::kButtonLeft));
    Send(button(MessageKind::kButtonUp, host::kButtonExtra2));
    EXPECT_EQ(mouse_.buttons, host::kButtonRight);
    Send(wheel(MessageKind::kWheel, 1));
    Send(wheel(MessageKind::kWheel, 1));
    Send(wheel(MessageKind::kWheel, -1));
    Send(wheel(MessageKind::kHorizontalWheel, -1));
    mouse_.tracked = true;
    Send(WindowMessage{MessageKind::kMouseLeave});
    EXPECT_FALSE(mouse_.tracked);

    const std::vector<WindowEvent> e = Events();
    ASSERT_EQ(e.size(), 10u);
    const int32_t expected[][2] = {
        {kEventButtonPress, host::kButtonLeft},
        {kEventButtonPress, host::kButtonExtra2},
        {kEventDoubleClick, host::kButtonRight},
        {kEventButtonRelease, host::kButtonLeft},
        {kEventButtonRelease, host::kButtonExtra2},
        {kEventWheel, 1},
        {kEventWheel, 2},
        {kEventWheel, 1},
        {kEventHorizontalWheel, -1},
        {kEventMouseExit, 0},
    };
    for (size_t i = 0; i < e.size(); ++i) {
        EXPECT_EQ(e[i].kind, expected[i][0]) << i;
        if (expected[i][0] != kEventMouseExit) {
            EXPECT_EQ(e[i].field[0], expected[i][1]) << i;
        }
    }
    EXPECT_EQ(mouse_.wheel, 1);
}

TEST_F(WindowProcTest, EventQueueDropsTheOldestWhenFull) {
    for (int32_t i = 0; i < 130; ++i) PostWindowEvent(Screen(), WindowEvent{kEventWheel, {i}});
    const std::vector<WindowEvent> events = Events();
    ASSERT_EQ(events.size(), static_cast<size_t>(kEventQueueSize - 1));
    EXPECT_EQ(events.front().field[0], 3);
    EXPECT_EQ(events.back().field[0], 129);
}

TEST_F(WindowProcTest, KeyStatesFollowTheKeyboardStateThroughTheKeyMap) {
    host_.Hold(vk::kNumpad4);  // the second key of scan code 75
    host_.Hold(vk::kShift);    // both Shift scan codes follow the generic Shift key
    host_.Hold('A');
    RefreshKeyStates(ws_);
    const uint8_t* k = Screen().keyStates;
    EXPECT_EQ(k[75], 1);
    EXPECT_EQ(k[42], 1);
    EXPECT_EQ(k[54], 1);
    EXPECT_EQ(k[30], 1);
    EXPECT_EQ(std::count(k, k + kKeyStateCount, 1), 4);
    host_.Hold(vk::kNumpad4, false);
    RefreshKeyStates(ws_);
    EXPECT_EQ(k[75], 0);
}

TEST_F(WindowProcTest, PaintShowsTheWholePictureWithoutConverting) {
    Send(WindowMessage{MessageKind::kPaint});
    ASSERT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(host_.shown[0], std::make_pair(0, 480));
}

// Whether the window system's own handling follows a message: not for keys
// that must do nothing (F10 and Alt would open the window menu, Alt+F4 would
// close), the close button, activation, the full-screen switch and a leave the
// procedure took.
struct DefaultCase {
    const char* name;
    std::vector<int> held;
    bool active;
    WindowMessage message;
    bool defaultHandling;
};

class DefaultHandlingTest : public WindowProcTest,
                            public ::testing::WithParamInterface<DefaultCase> {};

TEST_P(DefaultHandlingTest, FollowsOnlyWhereTheSystemMayAct) {
    for (int vk : GetParam().held) host_.Hold(vk);
    ws_.active = GetParam().active;
    EXPECT_EQ(WindowProcedure(ws_, mouse_, GetParam().message), GetParam().defaultHandling);
}

WindowMessage Leave() {
    return WindowMessage{MessageKind::kMouseLeave};
}

INSTANTIATE_TEST_SUITE_P(
    Messages, DefaultHandlingTest,
    ::testing::Values(
        DefaultCase{"F1", {}, true, Key(MessageKind::kKeyDown, 0x3B, vk::kF1), true},
        DefaultCase{"F10", {}, true, Key(MessageKind::kSysKeyDown, 0x44, vk::kF10), false},
        DefaultCase{"F10Release", {}, true, Key(MessageKind::kKeyUp, 0x44, vk::kF10), false},
        DefaultCase{"AltAlone", {vk::kMenu}, true, AltKey(0x38, vk::kMenu), false},
        DefaultCase{"AltF4", {vk::kMenu}, true, AltKey(0x3E, vk::kF4), false},
        DefaultCase{"AltLetter", {vk::kMenu}, true, AltKey(0x1E, 'A', 0, 'A'), true},
        DefaultCase{"SystemKeyWhileInactive", {vk::kMenu}, false, AltKey(0x3E, vk::kF4), true},
        DefaultCase{"AltEnter", {vk::kMenu}, true, AltKey(0x1C, vk::kReturn, 0, 13), false},
        DefaultCase{"Character", {}, true, Char('a'), true},
        DefaultCase{"Close", {}, true, WindowMessage{MessageKind::kClose}, false},
        DefaultCase{"Activate", {}, true, WindowMessage{MessageKind::kActivate}, false},
        DefaultCase{"MaximiseWhileActive", {}, true, WindowMessage{MessageKind::kMaximize}, false},
        DefaultCase{
            "MaximiseWhileInactive", {}, false, WindowMessage{MessageKind::kMaximize}, true},
        DefaultCase{"LeaveWhileActive", {}, true, Leave(), false},
        DefaultCase{"LeaveWhileInactive", {}, false, Leave(), true},
        DefaultCase{"Paint", {}, true, WindowMessage{MessageKind::kPaint}, true},
        DefaultCase{"MouseMove", {}, true, WindowMessage{MessageKind::kMouseMove}, true}),
    [](const ::testing::TestParamInfo<DefaultCase>& info) { return info.param.name; });

}  // namespace
}  // namespace gfxwin
