#include "textio/line_input.h"

#include <optional>

#include "textio/console.h"
#include "textio/edit_line.h"
#include "textio/input_context.h"
#include "textio/last_error.h"
#include "textio/print.h"
#include "textio/screen_channel.h"

namespace textio {

void LineInput(const std::string_view* prompt, bool question, bool lineEnd) {
    ScreenReadInit();
    // A redirected keyboard would be read as a file; the screen never is.
    ConsoleInputRedirected();
    ResetInputContext();
    const int code = ConsoleLineInput(prompt, &CurrentInputContext().text, question, lineEnd);
    SetLastError(code);
}

void PrintLinePrompt(const std::string_view* prompt, bool question) {
    ConsolePrintBytes("", 0, kPrintForce);
    if (prompt != nullptr) {
        if (!prompt->empty()) PrintStringValue(0, *prompt, kMaskNone);
        if (question) PrintTerminatedText(0, "? ", kMaskNone);
    }
}

int EditedLineInput(const std::string_view* prompt, std::string* destination, bool question,
                    bool lineEnd, bool markOn) {
    PrintLinePrompt(prompt, question);
    std::optional<std::string> line = EditLine(markOn);
    if (lineEnd) PrintEnd(0, kMaskLineEnd);
    if (!line) return kErrOutOfMemory;
    *destination = std::move(*line);
    return kOk;
}

}  // namespace textio
