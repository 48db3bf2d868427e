// The palette: the default entries of a mode, the device entries of the
// emulated modes, and the VGA ports that set and read it.
#include "gfxwin/screen/palette.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/screen_mode.h"
#include "support/screen_dump.h"
#include "support/screen_open.h"

namespace gfxwin {
namespace {

using testing::Rgb;

using PaletteTest = testing::NullScreenTest;

TEST_F(PaletteTest, DefaultPaletteEntries) {
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

TEST_F(PaletteTest, EmulatedModesMapDeviceEntriesThroughTheAssociation) {
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

TEST_F(PaletteTest, DacPortsSetAndReadPaletteEntries) {
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

}  // namespace
}  // namespace gfxwin
