#include "gfxwin/console/graphics_hooks.h"

#include "gfxwin/console/graphics_line_input.h"
#include "gfxwin/console/graphics_pause.h"
#include "gfxwin/screen/pages.h"
#include "gfxwin/text/text_console.h"
#include "gfxwin/text/text_engine.h"
#include "gfxwin/screen/palette.h"
#include "gfxwin/console/key_mouse_hooks.h"
#include "textio/console.h"

namespace gfxwin {

namespace {
void ViewChanged() {}
int InputNotRedirected() {
    return 0;
}
}  // namespace

void InstallGraphicsHooks() {
    textio::ConsoleHooks hooks{};
    hooks.clearScreen = ClearGraphicsScreen;
    hooks.setColours = SetColours;
    hooks.locate = Locate;
    hooks.setTextSize = SetTextSize;
    hooks.cursorColumn = CursorColumn;
    hooks.cursorRow = CursorRow;
    hooks.cursorPosition = CursorPosition;
    hooks.textSize = TextSize;
    hooks.printBytes = PrintText;
    hooks.printWide = PrintWideText;
    hooks.portIn = PortIn;
    hooks.portOut = PortOut;
    hooks.viewChanged = ViewChanged;
    hooks.lineInput = GraphicsLineInput;
    hooks.lineInputWide = GraphicsLineInputWide;
    hooks.readCell = ReadCell;
    hooks.sleep = GraphicsPause;
    hooks.inputRedirected = InputNotRedirected;
    hooks.copyPage = CopyPage;
    hooks.selectPages = SelectPages;
    InstallKeyAndMouseHooks(hooks);
    textio::InstallConsoleHooks(hooks);
}

void RemoveGraphicsHooks() {
    textio::RemoveConsoleHooks();
}

}  // namespace gfxwin
