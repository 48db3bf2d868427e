// The console operations an open screen installs in the text layer.
#include <gtest/gtest.h>

#include "gfxwin/console/graphics_line_input.h"
#include "gfxwin/console/graphics_pause.h"
#include "gfxwin/console/key_mouse_hooks.h"
#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen/pages.h"
#include "gfxwin/screen/palette.h"
#include "gfxwin/text/text_console.h"
#include "gfxwin/text/text_engine.h"
#include "support/screen_dump.h"
#include "textio/runtime_state.h"

namespace gfxwin {
namespace {

using GraphicsHooksTest = testing::NullScreenTest;

TEST_F(GraphicsHooksTest, GraphicsVersionsFillAllSlotsButReadTextLine) {
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
    // Line input and waits.
    EXPECT_EQ(h.lineInput, &GraphicsLineInput);
    EXPECT_EQ(h.lineInputWide, &GraphicsLineInputWide);
    EXPECT_EQ(h.sleep, &GraphicsPause);
    // Text, pages and the VGA ports.
    EXPECT_EQ(h.clearScreen, &ClearGraphicsScreen);
    EXPECT_EQ(h.setColours, &SetColours);
    EXPECT_EQ(h.locate, &Locate);
    EXPECT_EQ(h.setTextSize, &SetTextSize);
    EXPECT_EQ(h.cursorColumn, &CursorColumn);
    EXPECT_EQ(h.cursorRow, &CursorRow);
    EXPECT_EQ(h.cursorPosition, &CursorPosition);
    EXPECT_EQ(h.textSize, &TextSize);
    EXPECT_EQ(h.printBytes, &PrintText);
    EXPECT_EQ(h.printWide, &PrintWideText);
    EXPECT_EQ(h.readCell, &ReadCell);
    EXPECT_EQ(h.copyPage, &CopyPage);
    EXPECT_EQ(h.selectPages, &SelectPages);
    EXPECT_EQ(h.portIn, &PortIn);
    EXPECT_EQ(h.portOut, &PortOut);
    // Input through the screen is always typed at the keyboard.
    EXPECT_EQ(h.inputRedirected(), 0);
}

}  // namespace
}  // namespace gfxwin
