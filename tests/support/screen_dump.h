// Aids for tests of the graphics screen: a fixture that opens mode 18 on the
// Null driver, readers of the text shadow and the pixels, and a dump of the
// framebuffer (through the palette) to a PPM file when a test fails.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gfxwin/screen/screen_state.h"

namespace gfxwin::testing {

// Sets (or unsets, for nullopt) an environment variable and restores it.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> saved_;
};

// Closes any screen and zeroes the runtime state (releasing the screen
// channel's key text first).
void ResetScreenWorld();

// Opens (18, 8, 0, 0, 0) on the Null driver for every test and closes it after;
// a failed test leaves a PPM picture of the screen in the test output folder.
class NullScreenTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    ScreenState& Screen() { return *CurrentScreen(); }

  private:
    std::optional<ScopedEnv> env_;
};

// The same, with the key slots reading the key buffer (the window fills them,
// and the Null screen has no window), and the buffer emptied before and after
// every test.
class NullScreenKeyTest : public NullScreenTest {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// The text shadow of the work page, one string of textColumns bytes per row.
std::vector<std::string> ShadowRows();
// The same joined with '\n'.
std::string RenderShadow();

// The framebuffer pixel at (x, y) of page `page` (1 byte per pixel screens).
uint8_t PixelAt(int32_t x, int32_t y, int32_t page = 0);

// Compares the cell at 0-based (column, row) with the glyph of `code` in the
// screen's font painted in fg on bg. Empty when equal, else the first mismatch.
std::string CellMismatch(int32_t column, int32_t row, uint8_t code, uint8_t fg, uint8_t bg);

// True when every pixel of pixel rows [first, end) equals `value`.
bool RowsAre(int32_t first, int32_t end, uint8_t value);

// Copies of the pixel rows [first, end) of page 0.
std::vector<uint8_t> CopyRows(int32_t first, int32_t end);

// Number of dirty-row marks set in [first, end), and clearing all marks.
int32_t DirtyCount(int32_t first, int32_t end);
void ClearDirty();

// Writes the visible page through the palette as a binary PPM; true on success.
bool WriteScreenPpm(const std::string& path);

// Writes <temp dir>/<suite>.<test>.ppm when the current test has failed.
void DumpScreenIfFailed();

}  // namespace gfxwin::testing
