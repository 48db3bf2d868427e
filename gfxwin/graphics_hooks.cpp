#include "gfxwin/graphics_hooks.h"

#include "gfxwin/graphics_line_input.h"
#include "gfxwin/graphics_pause.h"
#include "gfxwin/pages.h"
#include "gfxwin/text_console.h"
#include "gfxwin/text_engine.h"
#include "gfxwin/vga_ports.h"
#include "gfxwin/window_hooks.h"
#include "textio/runtime_state.h"

namespace gfxwin {

namespace {
void ViewChanged() {}
int InputNotRedirected() {
    return 0;
}
}  // namespace

void InstallGraphicsHooks() {
    textio::ConsoleHooks& hooks = textio::Runtime().hooks;
    hooks = textio::ConsoleHooks{};
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
}

void RemoveGraphicsHooks() {
    textio::Runtime().hooks = textio::ConsoleHooks{};
}

}  // namespace gfxwin
