// Console dispatch: the graphics version from ConsoleHooks when a screen filled
// the slot, the terminal version otherwise.
#include "textio/console.h"

#include "textio/line_input.h"
#include "textio/print.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"
#include "textio/terminal.h"
#include "textio/terminal_keys.h"

namespace textio {

namespace {

const ConsoleHooks& Hooks() {
    return Runtime().hooks;
}

// Line input on the terminal. On an interactive terminal the line editor runs
// as in the window, without the cursor mark (the terminal shows its own
// cursor). Otherwise: the prompt through channel 0, one line from standard
// input, and an echo of that line when the input is not a terminal so that a
// transcript reads like the screen.
int TerminalLineInput(const std::string_view* prompt, std::string* destination, bool question,
                      bool lineEnd) {
    if (TerminalInputIsTerminal() && TerminalOutputIsTerminal()) {
        TerminalHoldRaw(true);
        const int code = EditedLineInput(prompt, destination, question, lineEnd, false);
        TerminalHoldRaw(false);
        return code;
    }
    PrintLinePrompt(prompt, question);
    std::string line;
    try {
        TerminalReadLine(&line);
    } catch (...) {
        if (lineEnd) PrintEnd(0, kMaskLineEnd);
        return 4;
    }
    if (!TerminalInputIsTerminal()) TerminalEcho(line.data(), line.size());
    if (lineEnd) PrintEnd(0, kMaskLineEnd);
    try {
        *destination = std::move(line);
    } catch (...) {
        return 4;
    }
    return 0;
}

}  // namespace

size_t ConsoleReadKeyText(char out[2]) {
    if (Hooks().readKeyText != nullptr) return Hooks().readKeyText(out);
    const int32_t code = TerminalReadKeyCode(-1);
    if (code < 0) return 0;
    return KeyCodeText(code, out);
}

int ConsoleKeyWaiting() {
    if (Hooks().keyWaiting != nullptr) return Hooks().keyWaiting();
    // The terminal read blocks until a key comes, so a key always counts as waiting.
    return 1;
}

int32_t ConsoleLocate(int32_t row, int32_t column, int32_t visibility) {
    if (Hooks().locate != nullptr) return Hooks().locate(row, column, visibility);
    const int32_t packed = TerminalLocate(row, column);
    if (column >= 1) ScreenSetColumn(static_cast<uint32_t>(column - 1));
    // Bit 16 tells whether the cursor is shown.
    return packed | (TerminalShowCursor(visibility) ? 0x10000 : 0);
}

void ConsoleCursorPosition(int32_t* column, int32_t* row) {
    if (Hooks().cursorPosition != nullptr) {
        Hooks().cursorPosition(column, row);
        return;
    }
    TerminalCursor(column, row);
}

void ConsoleTextSize(int32_t* columns, int32_t* rows) {
    if (Hooks().textSize != nullptr) {
        Hooks().textSize(columns, rows);
        return;
    }
    if (columns != nullptr) *columns = kTerminalColumns;
    if (rows != nullptr) *rows = kTerminalRows;
}

void ConsolePrintBytes(const char* bytes, size_t length, uint32_t flags) {
    if (Hooks().printBytes != nullptr) {
        Hooks().printBytes(bytes, length, flags);
        return;
    }
    if (length > 0) TerminalWrite(bytes, length);
}

void ConsoleSleep(int32_t milliseconds) {
    if (Hooks().sleep != nullptr) {
        Hooks().sleep(milliseconds);
        return;
    }
    // Terminal version: the wait until a key takes one key (an escape sequence
    // is one key); a timed wait ends early on a key.
    if (milliseconds == kSleepUntilKey) {
        TerminalReadKeyCode(-1);
    } else if (milliseconds > 0) {
        TerminalReadKeyCode(milliseconds);
    }
}

int ConsoleLineInput(const std::string_view* prompt, std::string* destination, bool question,
                     bool lineEnd) {
    if (Hooks().lineInput != nullptr) {
        return Hooks().lineInput(prompt, destination, -1, 0, question, lineEnd);
    }
    return TerminalLineInput(prompt, destination, question, lineEnd);
}

int ConsoleInputRedirected() {
    if (Hooks().inputRedirected != nullptr) return Hooks().inputRedirected();
    return 0;
}

bool ConsoleInputEnded() {
    return Hooks().readKeyText == nullptr && TerminalInputEnded();
}

void ClearScreen(uint32_t mode) {
    if (Hooks().clearScreen != nullptr) {
        Hooks().clearScreen(mode);
    } else {
        TerminalClear();
    }
    ScreenSetColumn(0);
}

void InstallConsoleHooks(const ConsoleHooks& hooks) {
    Runtime().hooks = hooks;
}

void RemoveConsoleHooks() {
    Runtime().hooks = ConsoleHooks{};
}

TextView CurrentTextView() {
    return Runtime().view;
}

void SetTextView(TextView view) {
    Runtime().view = view;
}

}  // namespace textio
