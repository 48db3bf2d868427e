// Presentation: the converters into the window system's pixel formats and the
// update pass that shows the dirty rows.
#include "gfxwin/window/presentation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen/screen_lock.h"
#include "gfxwin/screen_mode.h"
#include "gfxwin/text/text_console.h"
#include "gfxwin/window/window.h"
#include "support/screen_dump.h"
#include "tests/gfxwin/window/fake_window_host.h"
#include "tests/gfxwin/window/window_fixture.h"
#include "textio/print.h"

namespace gfxwin {
namespace {

constexpr host::PixelFormat k32RedHigh{32, 0xFF0000, 0xFF00, 0xFF};
constexpr host::PixelFormat k32RedLow{32, 0xFF, 0xFF00, 0xFF0000};
constexpr host::PixelFormat k24RedHigh{24, 0xFF0000, 0xFF00, 0xFF};
constexpr host::PixelFormat k24RedLow{24, 0xFF, 0xFF00, 0xFF0000};
constexpr host::PixelFormat k16RedHigh{16, 0xF800, 0x7E0, 0x1F};
constexpr host::PixelFormat k16RedLow{16, 0x1F, 0x7E0, 0xF800};
constexpr host::PixelFormat k15RedHigh{16, 0x7C00, 0x3E0, 0x1F};
constexpr host::PixelFormat k15RedLow{16, 0x1F, 0x3E0, 0x7C00};
constexpr host::PixelFormat kIndexed{8, 0, 0, 0};

// Reads pixel x of a destination row.
uint32_t PixelOf(const uint8_t* row, int x, int bitsPerPixel) {
    uint32_t v = 0;
    const int bytes = bitsPerPixel / 8;
    for (int i = 0; i < bytes; ++i) v |= uint32_t{row[x * bytes + i]} << (8 * i);
    return v;
}

// The expected pixel for 8-bit components, built from the masks: each
// component keeps as many top bits as its mask has.
uint32_t Expected(const host::PixelFormat& f, uint32_t r, uint32_t g, uint32_t b) {
    auto place = [](uint32_t mask, uint32_t value) {
        int shift = 0, bits = 0;
        while (((mask >> shift) & 1) == 0) ++shift;
        while ((mask >> (shift + bits)) & 1) ++bits;
        return (value >> (8 - bits)) << shift;
    };
    return place(f.redMask, r) | place(f.greenMask, g) | place(f.blueMask, b);
}

struct FormatCase {
    const char* name;
    host::PixelFormat format;
};

const FormatCase kFormats[] = {
    {"Bits32RedHigh", k32RedHigh}, {"Bits32RedLow", k32RedLow},   {"Bits24RedHigh", k24RedHigh},
    {"Bits24RedLow", k24RedLow},   {"Bits16RedHigh", k16RedHigh}, {"Bits16RedLow", k16RedLow},
    {"Bits15RedHigh", k15RedHigh}, {"Bits15RedLow", k15RedLow},
};

std::string FormatName(const ::testing::TestParamInfo<FormatCase>& info) {
    return info.param.name;
}

// A small hand-made screen: 8 pixels wide, 4 rows, with its own memory.
struct TinyScreen {
    explicit TinyScreen(int32_t depth) {
        s.width = 8;
        s.height = 4;
        s.depth = depth;
        s.bytesPerPixel = depth <= 8 ? 1 : depth / 8;
        s.pitch = s.width * s.bytesPerPixel;
        s.scanlineSize = 1;
        pixels.assign(static_cast<size_t>(s.pitch * s.height), 0);
        s.framebuffer = pixels.data();
        s.devicePalette = NewScreenArray<uint32_t>(kPaletteSize, true);
        s.dirtyRows = NewScreenArray<uint8_t>(4, true);
        palette = s.devicePalette;
        dirty = s.dirtyRows;
    }
    ScreenState s{};
    std::vector<uint8_t> pixels;
    uint32_t* palette = nullptr;
    uint8_t* dirty = nullptr;
};

class ConverterTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ConverterTest, IndexedPixelsShowTheirDevicePaletteColour) {
    const host::PixelFormat& f = GetParam().format;
    TinyScreen t(8);
    const uint32_t colours[][3] = {
        {0x12, 0x34, 0x56}, {255, 255, 255}, {0, 0, 0}, {170, 85, 0}, {0x80, 0x40, 0xF0}};
    for (int i = 0; i < 5; ++i) {
        t.palette[10 + i] = colours[i][0] | (colours[i][1] << 8) | (colours[i][2] << 16);
        t.pixels[static_cast<size_t>(8 + i)] = static_cast<uint8_t>(10 + i);  // row 1
    }
    t.dirty[1] = 1;
    const RowConverter convert = ChooseConverter(8, f);
    ASSERT_NE(convert, nullptr);
    const int bytes = f.bitsPerPixel / 8;
    const int32_t pitch = 8 * bytes;
    std::vector<uint8_t> out(static_cast<size_t>(pitch * 4), 0xAB);
    convert(t.s, out.data(), pitch);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(PixelOf(out.data() + pitch, i, f.bitsPerPixel),
                  Expected(f, colours[i][0], colours[i][1], colours[i][2]))
            << "pixel " << i;
    }
    // Clean rows are left as they were.
    for (int row : {0, 2, 3}) {
        for (int b = 0; b < pitch; ++b) ASSERT_EQ(out[static_cast<size_t>(row * pitch + b)], 0xAB);
    }
}

TEST_P(ConverterTest, ThirtyTwoBitPixelsKeepTheTopBitsOfEachComponent) {
    const host::PixelFormat& f = GetParam().format;
    TinyScreen t(32);
    const uint32_t source = 0x00C8641E;  // red 0xC8, green 0x64, blue 0x1E
    std::memcpy(t.pixels.data() + t.s.pitch * 2 + 4 * 3, &source, 4);
    t.dirty[2] = 1;
    const RowConverter convert = ChooseConverter(32, f);
    ASSERT_NE(convert, nullptr);
    const int32_t pitch = 8 * (f.bitsPerPixel / 8);
    std::vector<uint8_t> out(static_cast<size_t>(pitch * 4), 0);
    convert(t.s, out.data(), pitch);
    EXPECT_EQ(PixelOf(out.data() + 2 * pitch, 3, f.bitsPerPixel), Expected(f, 0xC8, 0x64, 0x1E));
}

INSTANTIATE_TEST_SUITE_P(Formats, ConverterTest, ::testing::ValuesIn(kFormats), FormatName);

TEST(SixteenBitConverterTest, ExpandsThroughTheLookupAreaToFullComponents) {
    std::vector<uint32_t> lookup(kLookupEntries, 0);
    SetLookupArea(lookup.data());
    TinyScreen t(16);
    // 5-6-5 with red high: full red, green 0b100000, blue 0b00001.
    const uint16_t pixel = static_cast<uint16_t>((31u << 11) | (32u << 5) | 1u);
    std::memcpy(t.pixels.data(), &pixel, 2);
    t.dirty[0] = 1;
    for (const host::PixelFormat& f : {k32RedHigh, k32RedLow, k24RedHigh}) {
        const RowConverter convert = ChooseConverter(16, f);
        ASSERT_NE(convert, nullptr);
        const int32_t pitch = 8 * (f.bitsPerPixel / 8);
        std::vector<uint8_t> out(static_cast<size_t>(pitch * 4), 0);
        convert(t.s, out.data(), pitch);
        // Widened by repeating the top bits: 31 -> 255, 32 -> 130, 1 -> 8.
        const uint32_t r = 255, g = (32u << 2) | (32u >> 4), b = (1u << 3) | (1u >> 2);
        const bool redLow = f.redMask == 0xFF;
        const uint32_t want = redLow ? r | (g << 8) | (b << 16) : b | (g << 8) | (r << 16);
        EXPECT_EQ(PixelOf(out.data(), 0, f.bitsPerPixel), want) << f.bitsPerPixel;
    }
    // 5-6-5 to 5-6-5 with red low swaps red and blue; to 5-5-5 it drops a green bit.
    const RowConverter swap = ChooseConverter(16, k16RedLow);
    const RowConverter repack = ChooseConverter(16, k15RedHigh);
    std::vector<uint8_t> out(16 * 4, 0);
    swap(t.s, out.data(), 16);
    EXPECT_EQ(PixelOf(out.data(), 0, 16), (1u << 11) | (32u << 5) | 31u);
    repack(t.s, out.data(), 16);
    EXPECT_EQ(PixelOf(out.data(), 0, 16), (31u << 10) | (16u << 5) | 1u);
    SetLookupArea(nullptr);
}

TEST(ChooseConverterTest, RefusesLayoutsItCannotFill) {
    EXPECT_EQ(ChooseConverter(8, host::PixelFormat{32, 0x3FF00000, 0xFFC00, 0x3FF}), nullptr);
    EXPECT_EQ(ChooseConverter(8, host::PixelFormat{8, 0xE0, 0x1C, 0x3}), nullptr);
    EXPECT_EQ(ChooseConverter(8, host::PixelFormat{16, 0xF800, 0x3E0, 0x1F}), nullptr);
    EXPECT_EQ(ChooseConverter(12, k32RedHigh), nullptr);
    EXPECT_NE(ChooseConverter(4, k32RedHigh), nullptr);
    // An indexed picture takes indexed framebuffers only.
    EXPECT_NE(ChooseConverter(8, kIndexed), nullptr);
    EXPECT_NE(ChooseConverter(1, kIndexed), nullptr);
    EXPECT_EQ(ChooseConverter(16, kIndexed), nullptr);
    EXPECT_EQ(ChooseConverter(32, kIndexed), nullptr);
}

// The update pass on the opened mode-18 screen with a fake host.
class UpdatePassTest : public testing::FakeWindowTest {
  protected:
    void SetUp() override {
        FakeWindowTest::SetUp();
        ws_.convert = ChooseConverter(8, host_.Format());
        ASSERT_NE(ws_.convert, nullptr);
    }

    uint32_t PictureAt(int x, int y) {
        return PixelOf(host_.Picture() + y * host_.PicturePitch(), x, 32);
    }
};

TEST_F(UpdatePassTest, ShowsTheSpanFromFirstToLastDirtyRowInOneTransfer) {
    Pass();  // the open marked everything
    ASSERT_EQ(host_.shown.size(), 1u);
    EXPECT_EQ(host_.shown[0], std::make_pair(0, 480));
    EXPECT_EQ(testing::DirtyCount(0, 480), 0);

    textio::PrintTerminatedText(0, "Hallo", textio::kMaskNone);
    Pass();
    ASSERT_EQ(host_.shown.size(), 2u);
    EXPECT_EQ(host_.shown[1], std::make_pair(0, 16));  // one text row
    EXPECT_EQ(testing::DirtyCount(0, 480), 0);

    Pass();  // nothing changed
    EXPECT_EQ(host_.shown.size(), 2u);
    EXPECT_EQ(ws_.stats.passes, 3u);
    EXPECT_EQ(ws_.stats.transfers, 2u);
    EXPECT_EQ(ws_.stats.rowsShown, 496u);
}

TEST_F(UpdatePassTest, MarksOnTheFirstAndLastRowShowTheWholeFrame) {
    Pass();
    testing::ClearDirty();
    LockScreen();
    UnlockScreen(0, 0);
    LockScreen();
    UnlockScreen(479, 479);
    Pass();
    ASSERT_EQ(host_.shown.size(), 2u);
    EXPECT_EQ(host_.shown[1], std::make_pair(0, 480));
}

TEST_F(UpdatePassTest, ThePictureHoldsTheFramebufferThroughThePalette) {
    textio::PrintTerminatedText(0, "AB", textio::kMaskNone);
    Pass();
    const ScreenState& s = Screen();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const uint32_t c = s.devicePalette[s.framebuffer[y * s.pitch + x]];
            const uint32_t want = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
            ASSERT_EQ(PictureAt(x, y), want) << x << "," << y;
        }
    }
    EXPECT_NE(PictureAt(1, 4), 0u);  // some glyph pixel is lit (white)
}

TEST_F(UpdatePassTest, AChangedPaletteShowsOnTheWholeScreen) {
    Pass();
    testing::ClearDirty();
    Screen().devicePalette[0] = 0x000000FF;  // background becomes red
    ws_.paletteChanged = true;
    Pass();
    ASSERT_EQ(host_.shown.size(), 2u);
    EXPECT_EQ(host_.shown[1], std::make_pair(0, 480));
    EXPECT_EQ(PictureAt(639, 479), 0xFF0000u);
    EXPECT_FALSE(ws_.paletteChanged);
}

TEST_F(UpdatePassTest, RequestsOfTheDrawingThreadAreCarriedOutByThePass) {
    ws_.pending.title = true;
    std::strcpy(ws_.pending.titleText, "Neu");
    ws_.pending.move = true;
    ws_.pending.moveX = 5;
    ws_.pending.moveY = 6;
    Pass();
    EXPECT_EQ(host_.title, "Neu");
    EXPECT_EQ(host_.moves, (std::vector<std::pair<int32_t, int32_t>>{{5, 6}}));
    EXPECT_FALSE(ws_.pending.title);
    EXPECT_TRUE(ws_.positionKnown);
    EXPECT_EQ(ws_.outerX, 100);
}

TEST_F(UpdatePassTest, MessagesArriveAtTheEndOfThePassAndKeyStatesWhileActive) {
    ResetKeyBufferForTest();
    host_.Hold(0x26);  // Up
    host::WindowMessage close{host::MessageKind::kClose};
    host_.queued.push_back(close);
    Pass();
    EXPECT_EQ(Screen().keyStates[72], 1);
    EXPECT_EQ(TakeKey(), 27647);
    ws_.active = false;
    host_.Hold(0x26, false);
    Pass();
    EXPECT_EQ(Screen().keyStates[72], 1);  // not refreshed while inactive
    ResetKeyBufferForTest();
}

// The answer to each message tells the host what it must do for the pointer:
// report its leaving once it entered, keep the capture while a button is held.
TEST_F(UpdatePassTest, EachAnswerCarriesThePointerStateTheHostNeeds) {
    host_.pointerInside = true;
    host::WindowMessage move{host::MessageKind::kMouseMove};
    host::WindowMessage press{host::MessageKind::kButtonDown};
    press.button = host::kButtonLeft;
    host::WindowMessage release{host::MessageKind::kButtonUp};
    release.button = host::kButtonLeft;
    host_.queued = {move, press, release, host::WindowMessage{host::MessageKind::kMouseLeave}};
    Pass();
    ASSERT_EQ(host_.results.size(), 4u);
    EXPECT_TRUE(host_.results[0].watchLeave);
    EXPECT_FALSE(host_.results[0].buttonHeld);
    EXPECT_TRUE(host_.results[1].buttonHeld);
    EXPECT_FALSE(host_.results[2].buttonHeld);
    EXPECT_FALSE(host_.results[3].watchLeave);
    EXPECT_FALSE(host_.results[3].defaultHandling);  // the leave was taken
}

// A host with an indexed picture (palette indices shown through its own
// colour table), as the GDI window has.
testing::FakeWindowHost* gIndexedHost = nullptr;

host::WindowHost* OpenIndexedHost() {
    gIndexedHost = new testing::FakeWindowHost(kIndexed);
    return gIndexedHost;
}

class IndexedPassTest : public testing::FakeWindowTest {
  protected:
    void SetUp() override {
        FakeWindowTest::SetUp();
        ws_.host = nullptr;
        ws_.openHost = OpenIndexedHost;
        ws_.title = "t";
        ws_.depth = 8;
        ASSERT_TRUE(PresentationInit(ws_));
        indexed_ = gIndexedHost;
    }
    void TearDown() override {
        PresentationExit(ws_);
        gIndexedHost = nullptr;
        FakeWindowTest::TearDown();
    }

    testing::FakeWindowHost* indexed_ = nullptr;
};

TEST_F(IndexedPassTest, FramebufferRowsGoToTheHostAsTheyAre) {
    EXPECT_TRUE(ws_.indexed);
    EXPECT_EQ(ws_.convert, nullptr);  // 640 bytes a row: no conversion
    Pass();                           // the open marked everything
    const ScreenState& s = Screen();
    ASSERT_EQ(indexed_->shownFrom.size(), 1u);
    EXPECT_EQ(indexed_->shownFrom[0].rows, s.framebuffer);
    EXPECT_EQ(indexed_->shownFrom[0].pitch, 640);
    EXPECT_EQ(indexed_->shownFrom[0].first, 0);
    EXPECT_EQ(indexed_->shownFrom[0].count, 480);

    LockScreen();
    Locate(3, 1, -1);
    UnlockScreen(1, 0);
    textio::PrintTerminatedText(0, "Zeile drei", textio::kMaskNone);
    Pass();
    ASSERT_EQ(indexed_->shownFrom.size(), 2u);
    EXPECT_EQ(indexed_->shownFrom[1].rows, s.framebuffer + 32 * 640);
    EXPECT_EQ(indexed_->shownFrom[1].first, 32);
    EXPECT_EQ(indexed_->shownFrom[1].count, 16);
    EXPECT_EQ(testing::DirtyCount(0, 480), 0);
    EXPECT_TRUE(indexed_->shown.empty());  // the picture is never used
}

TEST_F(IndexedPassTest, AChangedPaletteBecomesTheHostColourTable) {
    Pass();
    testing::ClearDirty();
    const int before = indexed_->colourUpdates;
    SetPaletteCopyEntry(ws_, 7, 10, 20, 30);
    Pass();
    EXPECT_EQ(indexed_->colourUpdates, before + 1);
    ASSERT_EQ(indexed_->colours.size(), 1024u);
    EXPECT_EQ(indexed_->colours[7 * 4 + 0], 10);
    EXPECT_EQ(indexed_->colours[7 * 4 + 1], 20);
    EXPECT_EQ(indexed_->colours[7 * 4 + 2], 30);
    EXPECT_EQ(indexed_->colours[7 * 4 + 3], 4);
    // The window keeps the colours it was shown: every row goes again.
    ASSERT_FALSE(indexed_->shownFrom.empty());
    EXPECT_EQ(indexed_->shownFrom.back().count, 480);
    Pass();
    EXPECT_EQ(indexed_->colourUpdates, before + 1);  // applied once
}

TEST_F(IndexedPassTest, APaintShowsTheWholeFramebuffer) {
    Pass();
    indexed_->shownFrom.clear();
    PaintWindow(ws_);
    ASSERT_EQ(indexed_->shownFrom.size(), 1u);
    EXPECT_EQ(indexed_->shownFrom[0].rows, Screen().framebuffer);
    EXPECT_EQ(indexed_->shownFrom[0].count, 480);
}

// Rows that cannot go as they are (here: an indexed host asked for a row
// copy) are copied into the picture first.
TEST_F(UpdatePassTest, IndexedRowCopyFillsThePicture) {
    testing::FakeWindowHost indexed(kIndexed);
    ws_.host = &indexed;
    ws_.indexed = true;
    ws_.convert = ChooseConverter(8, kIndexed);
    ASSERT_NE(ws_.convert, nullptr);
    textio::PrintTerminatedText(0, "AB", textio::kMaskNone);
    Pass();
    const ScreenState& s = Screen();
    EXPECT_EQ(std::memcmp(indexed.Picture(), s.framebuffer, 640 * 480), 0);
    ASSERT_EQ(indexed.shown.size(), 1u);
    EXPECT_TRUE(indexed.shownFrom.empty());
}

}  // namespace
}  // namespace gfxwin
