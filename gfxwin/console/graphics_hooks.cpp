#include "gfxwin/console/graphics_hooks.h"

#include "gfxwin/console/graphics_line_input.h"
#include "gfxwin/console/graphics_pause.h"
#include "gfxwin/console/key_mouse_hooks.h"
#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen/pages.h"
#include "gfxwin/screen/palette.h"
#include "gfxwin/text/text_console.h"
#include "gfxwin/text/text_engine.h"
#include "textio/console.h"

namespace gfxwin {

namespace {
void ViewChanged() {}
int InputNotRedirected() {
    return 0;
}
}  // namespace

// Every slot has its graphics version but the simple line reader, which no
// operation calls: the terminal's stays.
void InstallGraphicsHooks() {
    textio::InstallConsoleHooks(textio::ConsoleHooks{
        .readKeyText = ReadKeyText,
        .waitKey = WaitForKey,
        .keyWaiting = KeyAvailable,
        .clearScreen = ClearGraphicsScreen,
        .setColours = SetColours,
        .locate = Locate,
        .setTextSize = SetTextSize,
        .cursorColumn = CursorColumn,
        .cursorRow = CursorRow,
        .cursorPosition = CursorPosition,
        .textSize = TextSize,
        .printBytes = PrintText,
        .printWide = PrintWideText,
        .keyDown = KeyDownByScanCode,
        .readMouse = ReadMouse,
        .setMouse = SetMousePointer,
        .portIn = PortIn,
        .portOut = PortOut,
        .viewChanged = ViewChanged,
        .lineInput = GraphicsLineInput,
        .lineInputWide = GraphicsLineInputWide,
        .readCell = ReadCell,
        .sleep = GraphicsPause,
        .inputRedirected = InputNotRedirected,
        .copyPage = CopyPage,
        .selectPages = SelectPages,
    });
}

void RemoveGraphicsHooks() {
    textio::RemoveConsoleHooks();
}

}  // namespace gfxwin
