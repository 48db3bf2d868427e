// Opening, re-opening and closing the graphics screen on the Null driver.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfxwin/screen/draw_context.h"
#include "gfxwin/window/driver_list.h"
#include "gfxwin/console/graphics_line_input.h"
#include "gfxwin/console/graphics_pause.h"
#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen/pages.h"
#include "support/screen_dump.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/screen_setup.h"
#include "gfxwin/screen/screen_state.h"
#include "gfxwin/text/text_console.h"
#include "gfxwin/text/text_engine.h"
#include "gfxwin/screen/palette.h"
#include "gfxwin/console/key_mouse_hooks.h"
#include "textio/last_error.h"
#include "textio/print.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"

namespace gfxwin {
namespace {

using testing::NullScreenTest;
using testing::ScopedEnv;

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

bool HooksEmpty() {
    const textio::ConsoleHooks empty{};
    return std::memcmp(&textio::Runtime().hooks, &empty, sizeof empty) == 0;
}

using ScreenOpenTest = NullScreenTest;

TEST_F(ScreenOpenTest, Mode18BuildsThe640x480TextScreen) {
    const ScreenState& s = Screen();
    EXPECT_EQ(s.modeNumber, 18);
    EXPECT_EQ(s.width, 640);
    EXPECT_EQ(s.height, 480);
    EXPECT_EQ(s.depth, 8);
    EXPECT_EQ(s.bytesPerPixel, 1);
    EXPECT_EQ(s.pitch, 640);
    EXPECT_EQ(s.colourMask, 0xFFu);
    EXPECT_EQ(s.pageCount, 1);
    EXPECT_EQ(s.visiblePage, 0);
    EXPECT_EQ(s.framebuffer, s.pages[0]);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(s.pages[0]) % 16, 0u);
    EXPECT_EQ(s.scanlineSize, 1);
    EXPECT_EQ(s.textColumns, 80);
    EXPECT_EQ(s.textRows, 30);
    ASSERT_NE(s.font, nullptr);
    EXPECT_EQ(s.font->width, 8);
    EXPECT_EQ(s.font->height, 16);
    EXPECT_EQ(s.aspect, 1.0f);
    EXPECT_EQ(s.palette[15], Rgb(255, 255, 255));
    EXPECT_EQ(s.palette[0], 0u);
    EXPECT_EQ(s.lockCount, 0);
    EXPECT_EQ(s.statusFlags, 0u);
    EXPECT_STREQ(s.driver->name, "Null");

    const DrawContext& ctx = GetDrawContext();
    EXPECT_EQ(ctx.modeId, s.modeId);
    EXPECT_EQ(ctx.foreground, 15u);
    EXPECT_EQ(ctx.background, 0u);
    EXPECT_EQ(ctx.workPage, 0);
    EXPECT_EQ(ctx.rows[479], s.pages[0] + 479 * 640);

    EXPECT_EQ(CursorRow(), 1);
    EXPECT_EQ(CursorColumn(), 1);
    EXPECT_TRUE(testing::RowsAre(0, 480, 0));
    EXPECT_EQ(testing::DirtyCount(0, 480), 480);
    std::string blank;
    for (int r = 0; r < 30; ++r) blank += std::string(80, ' ') + "\n";
    EXPECT_EQ(testing::RenderShadow(), blank);
    EXPECT_EQ(textio::Runtime().view.top, 0);
    EXPECT_EQ(textio::Runtime().view.bottom, 29);
    EXPECT_EQ(textio::Runtime().programEndHook, &CloseScreen);
    EXPECT_EQ(textio::LastError(), 0);
}

TEST_F(ScreenOpenTest, GraphicsVersionsFillAllSlotsButReadTextLine) {
    const textio::ConsoleHooks& h = textio::Runtime().hooks;
    // Left to the terminal: the simple line reader that no operation calls.
    EXPECT_EQ(h.readTextLine, nullptr);
    // The key buffer and the window's mouse.
    EXPECT_EQ(h.readKeyText, &ReadKeyText);
    EXPECT_EQ(h.waitKey, &WaitForKey);
    EXPECT_EQ(h.keyWaiting, &KeyAvailable);
    EXPECT_EQ(h.keyDown, &KeyDownByScanCode);
    EXPECT_EQ(h.readMouse, &ReadMouse);
    EXPECT_EQ(h.setMouse, &SetMousePointer);
    // Graphics versions.
    EXPECT_EQ(h.lineInput, &GraphicsLineInput);
    EXPECT_EQ(h.lineInputWide, &GraphicsLineInputWide);
    EXPECT_EQ(h.sleep, &GraphicsPause);
    EXPECT_EQ(h.clearScreen, &ClearGraphicsScreen);
    EXPECT_EQ(h.locate, &Locate);
    EXPECT_EQ(h.printBytes, &PrintText);
    EXPECT_EQ(h.printWide, &PrintWideText);
    EXPECT_EQ(h.textSize, &TextSize);
    EXPECT_EQ(h.readCell, &ReadCell);
    for (auto slot :
         {reinterpret_cast<const void*>(h.setColours), reinterpret_cast<const void*>(h.setTextSize),
          reinterpret_cast<const void*>(h.cursorColumn), reinterpret_cast<const void*>(h.cursorRow),
          reinterpret_cast<const void*>(h.cursorPosition), reinterpret_cast<const void*>(h.portIn),
          reinterpret_cast<const void*>(h.portOut), reinterpret_cast<const void*>(h.viewChanged),
          reinterpret_cast<const void*>(h.inputRedirected),
          reinterpret_cast<const void*>(h.copyPage),
          reinterpret_cast<const void*>(h.selectPages)}) {
        EXPECT_NE(slot, nullptr);
    }
    EXPECT_EQ(h.inputRedirected(), 0);
}

struct DepthCase {
    int32_t mode;
    int32_t requested;
    int32_t depth;
    int32_t bytesPerPixel;
    uint32_t colourMask;
    uint32_t foreground;
};

class DepthRuleTest : public ::testing::TestWithParam<DepthCase> {
  protected:
    void SetUp() override { testing::ResetScreenWorld(); }
    void TearDown() override { testing::ResetScreenWorld(); }
    ScopedEnv env_{"KRGFX", "null"};
};

TEST_P(DepthRuleTest, RequestedDepthCountsOnlyAboveMode13) {
    const DepthCase& c = GetParam();
    ASSERT_EQ(OpenScreen(c.mode, c.requested, 0, 0, 0), 0);
    const ScreenState& s = *CurrentScreen();
    EXPECT_EQ(s.depth, c.depth);
    EXPECT_EQ(s.bytesPerPixel, c.bytesPerPixel);
    EXPECT_EQ(s.pitch, s.width * c.bytesPerPixel);
    EXPECT_EQ(s.colourMask, c.colourMask);
    EXPECT_EQ(GetDrawContext().foreground, c.foreground);
    EXPECT_EQ(GetDrawContext().background, c.colourMask & 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, DepthRuleTest,
    ::testing::Values(DepthCase{18, 8, 8, 1, 0xFF, 15}, DepthCase{18, 0, 8, 1, 0xFF, 15},
                      DepthCase{18, 12, 8, 1, 0xFF, 15},
                      DepthCase{18, 24, 32, 4, 0xFFFFFFFF, 0xFFFFFFFF},
                      DepthCase{18, 32, 32, 4, 0xFFFFFFFF, 0xFFFFFFFF},
                      DepthCase{18, 15, 16, 2, 0xFFFF, 0xFFFF},
                      DepthCase{18, 16, 16, 2, 0xFFFF, 0xFFFF}, DepthCase{13, 32, 8, 1, 0xFF, 15},
                      DepthCase{12, 8, 4, 1, 0x0F, 0x0F}, DepthCase{11, 0, 1, 1, 0x01, 0x01},
                      DepthCase{1, 0, 2, 1, 0x03, 0x03}));

TEST_F(ScreenOpenTest, ModesWithoutARowFailAndChangeNothing) {
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

TEST_F(ScreenOpenTest, SecondOpenGetsTheNextModeIdAndARebuiltContext) {
    const int32_t first = Screen().modeId;
    DrawContext& ctx = GetDrawContext();
    SetColours(4, 2, 0);
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    EXPECT_EQ(Screen().modeId, first + 1);
    EXPECT_EQ(ctx.modeId, first + 1);
    EXPECT_EQ(ctx.foreground, 15u);
    EXPECT_EQ(ctx.background, 0u);
    EXPECT_EQ(ctx.rows[0], Screen().pages[0]);
}

TEST_F(ScreenOpenTest, ModeZeroClosesToTheTerminal) {
    ASSERT_EQ(OpenScreen(0, 0, 0, 0, 0), 0);
    EXPECT_EQ(CurrentScreen(), nullptr);
    EXPECT_TRUE(HooksEmpty());
    // The view covers the terminal's rows again.
    EXPECT_EQ(textio::Runtime().view.top, 0);
    EXPECT_GE(textio::Runtime().view.bottom, 0);
}

TEST_F(ScreenOpenTest, CloseScreenIsQuietAndLeavesTheViewUnset) {
    CloseScreen();
    EXPECT_EQ(CurrentScreen(), nullptr);
    EXPECT_TRUE(HooksEmpty());
    EXPECT_EQ(textio::Runtime().view.top, -1);
    EXPECT_EQ(textio::Runtime().view.bottom, -1);
    CloseScreen();  // nothing open: nothing happens
    EXPECT_EQ(CurrentScreen(), nullptr);
}

TEST_F(ScreenOpenTest, ScreenChannelColumnAndWidthFollowTheOpen) {
    textio::PrintStringValue(0, "abc", textio::kMaskNone);
    EXPECT_EQ(textio::Runtime().screen.column, 3u);
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    EXPECT_EQ(textio::Runtime().screen.column, 0u);
    EXPECT_EQ(textio::Runtime().screen.width, 80u);
    ASSERT_EQ(OpenScreen(13, 8, 0, 0, 0), 0);
    EXPECT_EQ(textio::Runtime().screen.width, 40u);
}

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
    const DriverEntry none[] = {{nullptr, nullptr}};
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

// Fake drivers that log every call.
struct DriverLog {
    std::vector<std::string> calls;
    const char* accept = nullptr;  // name of the driver whose init succeeds
    int locks = 0;
    int unlocks = 0;
    std::vector<uint32_t> palette = std::vector<uint32_t>(256, 0xDEADBEEF);
};
DriverLog gLog;

template <int N>
struct FakeDriver {
    static const char* Name() { return N == 0 ? "DirectX" : "GDI"; }
    static int Init(const char*, int32_t w, int32_t h, int32_t depth, int32_t rate, int32_t flags) {
        gLog.calls.push_back(std::string(Name()) + " init " + std::to_string(w) + "x" +
                             std::to_string(h) + "x" + std::to_string(depth) + " rate " +
                             std::to_string(rate) + " flags " + std::to_string(flags));
        return gLog.accept != nullptr && std::strcmp(gLog.accept, Name()) == 0 ? 0 : -1;
    }
    static void Exit() { gLog.calls.push_back(std::string(Name()) + " exit"); }
    static void Lock() { ++gLog.locks; }
    static void Unlock() { ++gLog.unlocks; }
    static void SetPalette(int i, int r, int g, int b) {
        gLog.palette[static_cast<size_t>(i)] = Rgb(r, g, b);
    }
    static constexpr WindowDriver kDriver{N == 0 ? "DirectX" : "GDI",
                                          Init,
                                          Exit,
                                          Lock,
                                          Unlock,
                                          SetPalette,
                                          nullptr,
                                          nullptr,
                                          nullptr,
                                          nullptr,
                                          nullptr,
                                          nullptr,
                                          nullptr,
                                          nullptr};
};

const DriverEntry kFakeList[] = {{"DirectX", &FakeDriver<0>::kDriver},
                                 {"GDI", &FakeDriver<1>::kDriver}};

class FakeDriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::ResetScreenWorld();
        gLog = DriverLog{};
        OverrideDriverList(kFakeList, 2);
    }
    void TearDown() override {
        testing::ResetScreenWorld();
        OverrideDriverList(nullptr, 0);
    }
};

TEST_F(FakeDriverTest, NamedDriverIsTriedFirst) {
    ScopedEnv env("KRGFX", "gdi");
    gLog.accept = "GDI";
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 60), 0);
    EXPECT_EQ(gLog.calls, std::vector<std::string>{"GDI init 640x480x8 rate 60 flags 0"});
    EXPECT_EQ(CurrentScreen()->driver, &FakeDriver<1>::kDriver);
}

TEST_F(FakeDriverTest, WithoutANameTheListOrderHolds) {
    ScopedEnv env("KRGFX", std::nullopt);
    gLog.accept = "GDI";
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 60), 0);
    const std::vector<std::string> want{"DirectX init 640x480x8 rate 60 flags 0", "DirectX exit",
                                        "DirectX init 640x480x8 rate 0 flags 0", "DirectX exit",
                                        "GDI init 640x480x8 rate 60 flags 0"};
    EXPECT_EQ(gLog.calls, want);
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
    EXPECT_EQ(gLog.calls, want);
    EXPECT_EQ(CurrentScreen(), nullptr);
    EXPECT_TRUE(HooksEmpty());
}

TEST_F(FakeDriverTest, PaletteGoesToTheDriverAndLocksNest) {
    ScopedEnv env("KRGFX", std::nullopt);
    gLog.accept = "DirectX";
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    const ScreenState& s = *CurrentScreen();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(gLog.palette[static_cast<size_t>(i)], s.palette[i]) << i;
        EXPECT_EQ(s.devicePalette[i], s.palette[i]) << i;
    }
    const int locks = gLog.locks;
    const int unlocks = gLog.unlocks;
    EXPECT_EQ(locks, unlocks);
    LockScreen();
    LockScreen();
    EXPECT_EQ(gLog.locks, locks + 1);
    EXPECT_EQ(CurrentScreen()->lockCount, 2);
    UnlockScreen(1, 0);
    EXPECT_EQ(gLog.unlocks, unlocks);
    UnlockScreen(1, 0);
    EXPECT_EQ(gLog.unlocks, unlocks + 1);
    UnlockScreen(1, 0);  // unbalanced: the count stays at 0
    EXPECT_EQ(gLog.unlocks, unlocks + 1);
    EXPECT_EQ(CurrentScreen()->lockCount, 0);

    CloseScreen();
    EXPECT_EQ(gLog.calls.back(), "DirectX exit");
}

TEST_F(ScreenOpenTest, UnlockMarksTheGivenRows) {
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

TEST(WindowTitleTest, FileNameWithoutDirectoryAndLastExtension) {
    struct Case {
        const char* path;
        const char* title;
    };
    for (const Case& c :
         {Case{"C:\\Programme\\wellenlaenge.exe", "wellenlaenge"},
          Case{"/usr/local/bin/wellen.laenge.exe", "wellen.laenge"},
          Case{"/opt/tools/wellenlaenge", "wellenlaenge"}, Case{"relative.dir/prog", "prog"},
          Case{"a\\b/c.d\\name.x.y", "name.x"}, Case{"plain", "plain"}, Case{"", ""}}) {
        EXPECT_EQ(TitleFromPath(c.path), c.title) << c.path;
    }
}

TEST_F(ScreenOpenTest, TitleComesFromTheRunningProgramAndStays) {
    EXPECT_STREQ(WindowTitle(), "gfxwin_tests");
    ASSERT_EQ(OpenScreen(13, 8, 0, 0, 0), 0);
    EXPECT_STREQ(WindowTitle(), "gfxwin_tests");
}

TEST_F(ScreenOpenTest, DefaultPaletteEntries) {
    struct Entry {
        int index;
        uint32_t colour;
    };
    for (const Entry& e :
         {Entry{0, Rgb(0, 0, 0)}, Entry{1, Rgb(0, 0, 170)}, Entry{6, Rgb(170, 85, 0)},
          Entry{9, Rgb(85, 85, 255)}, Entry{15, Rgb(255, 255, 255)}, Entry{16, Rgb(0, 0, 0)},
          Entry{23, Rgb(97, 97, 97)}, Entry{31, Rgb(255, 255, 255)}, Entry{32, Rgb(0, 0, 255)},
          Entry{36, Rgb(255, 0, 255)}, Entry{56, Rgb(125, 125, 255)}, Entry{247, Rgb(44, 48, 64)},
          Entry{248, 0}, Entry{255, 0}}) {
        EXPECT_EQ(Screen().palette[e.index], e.colour) << e.index;
        EXPECT_EQ(Screen().devicePalette[e.index], e.colour) << e.index;
    }
}

TEST_F(ScreenOpenTest, EmulatedModesMapDeviceEntriesThroughTheAssociation) {
    ASSERT_EQ(OpenScreen(9, 0, 0, 0, 0), 0);
    const ScreenState& s = Screen();
    EXPECT_EQ(s.palette[20], Rgb(170, 85, 0));
    EXPECT_EQ(s.devicePalette[6], Rgb(170, 85, 0));
    EXPECT_EQ(s.devicePalette[8], s.palette[56]);
    EXPECT_EQ(s.devicePalette[15], Rgb(255, 255, 255));
    EXPECT_EQ(s.devicePalette[16], 0u);  // beyond 2^depth

    // Mode 1 maps device entry 1 to logical entry 11, set later in the same palette.
    ASSERT_EQ(OpenScreen(1, 0, 0, 0, 0), 0);
    EXPECT_EQ(Screen().devicePalette[1], Rgb(85, 255, 255));
    EXPECT_EQ(Screen().devicePalette[3], Rgb(255, 255, 255));
    EXPECT_EQ(Screen().pageCount, 8);
}

TEST_F(ScreenOpenTest, DacPortsSetAndReadPaletteEntries) {
    PortOut(0x3C8, 5);
    for (int v : {63, 32, 0}) PortOut(0x3C9, v);
    EXPECT_EQ(Screen().palette[5], Rgb(255, 130, 0));
    EXPECT_EQ(Screen().devicePalette[5], Rgb(255, 130, 0));
    EXPECT_EQ(PortIn(0x3C8), 6);  // the write index moved on
    PortOut(0x3C7, 5);
    EXPECT_EQ(PortIn(0x3C9), 63);
    EXPECT_EQ(PortIn(0x3C9), 32);
    EXPECT_EQ(PortIn(0x3C9), 0);
    EXPECT_EQ(PortIn(0x3C9), 42);  // entry 6 starts: red 170 of brown
    const int32_t a = PortIn(0x3DA);
    const int32_t b = PortIn(0x3DA);
    EXPECT_NE(a & 8, b & 8);
    EXPECT_EQ(PortIn(0x3DA) & 8, a & 8);
}

TEST_F(ScreenOpenTest, PagesCopyAndSelect) {
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

TEST(ScreenMemoryTest, EveryFailedAllocationLeavesNoScreen) {
    testing::ResetScreenWorld();
    ScopedEnv env("KRGFX", "null");
    const long before = ScreenAllocationCount();
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    const long perOpen = ScreenAllocationCount() - before;
    ASSERT_GE(perOpen, 12);
    // An open first tears the old screen down, so each try starts from an open screen.
    for (int nth = 1; nth <= perOpen; ++nth) {
        ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
        FailScreenAllocation(nth);
        EXPECT_EQ(OpenScreen(18, 8, 0, 0, 0), 1) << "allocation " << nth;
        EXPECT_EQ(CurrentScreen(), nullptr) << "allocation " << nth;
        EXPECT_TRUE(HooksEmpty()) << "allocation " << nth;
        EXPECT_EQ(LookupArea(), nullptr) << "allocation " << nth;
    }
    FailScreenAllocation(perOpen + 1);
    EXPECT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    FailScreenAllocation(0);
    textio::PrintStringValue(0, "still fine", textio::kMaskNone);
    EXPECT_EQ(ReadCell(1, 1, 0), 's');
    testing::ResetScreenWorld();
}

}  // namespace
}  // namespace gfxwin
