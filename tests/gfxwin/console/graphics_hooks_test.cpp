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

}  // namespace
}  // namespace gfxwin
