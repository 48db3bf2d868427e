#include "calc/dialogue.h"

#include <cstdint>

#include "calc/calculation.h"
#include "calc/command_line_texts.h"
#include "calc/dialogue_texts.h"
#include "calc/exit_status.h"
#include "calc/result_file.h"
#include "gfxwin/screen_mode.h"
#include "textio/console.h"
#include "textio/input_context.h"
#include "textio/key_wait.h"
#include "textio/last_error.h"
#include "textio/line_input.h"
#include "textio/print.h"
#include "textio/runtime.h"
#include "textio/terminal.h"

namespace calc {

namespace {

constexpr int kScreen = 0;

// The screen: mode 18 (640x480, 256 colours, 80x30 text) at 8 bits.
constexpr int32_t kScreenMode = 18;
constexpr int32_t kScreenDepth = 8;

// A line input with `prompt`, whose first item becomes `value`. A line that
// found no memory ends the program: a coordinate of 0 would look valid.
void ReadCoordinate(const std::string_view& prompt, double* value) {
    textio::LineInput(&prompt, textio::kWithQuestionMark, textio::kWithLineEnd);
    if (textio::LastError() == textio::kErrOutOfMemory) {
        textio::SayOnStandardError(kNoMemoryForLine);
        textio::EndProgram(kExitFailed);
    }
    textio::InputReadDouble(value);
}

}  // namespace

void RunDialogue(int argumentCount, char** arguments) {
    // Set-up.
    textio::StoreArguments(argumentCount, arguments, 0);
    gfxwin::OpenScreen(kScreenMode, kScreenDepth, gfxwin::kModePages, gfxwin::kNoScreenFlags,
                       gfxwin::kAnyRefreshRate);
    textio::ClearScreen(textio::kClearDefault);
    // A file that cannot be made lets the dialogue go on; it is said at the end.
    const bool fileOpened = OpenResultFile();
    platform::IoError fileProblem = textio::LastSystemError();
    double x = 0.0;
    double y = 0.0;

    // Dialogue.
    textio::PrintStringValue(kScreen, kHeading, textio::kMaskLineEnd);
    textio::PrintStringValue(kScreen, kUnderline, textio::kMaskLineEnd);
    textio::PrintEnd(kScreen, textio::kMaskLineEnd);
    textio::PrintEnd(kScreen, textio::kMaskLineEnd);
    ReadCoordinate(kPromptX, &x);
    ReadCoordinate(kPromptY, &y);
    textio::PrintEnd(kScreen, textio::kMaskLineEnd);

    // Calculation; each pass writes its triple line to the result file.
    const double la = Calculate(x, y, WriteTripleLine).la;

    textio::PrintStringValue(kScreen, kResultCaption, textio::kMaskNone);
    textio::PrintDouble(kScreen, la, textio::kMaskLineEnd);
    WriteResultLine(la);

    // Ending: one key closes the result file, a further one ends the program.
    textio::ReadChars(1, kScreen);
    const bool fileWritten = CloseResultFile() && fileOpened;
    if (fileOpened && !fileWritten) fileProblem = textio::LastSystemError();
    textio::Pause(textio::kSleepUntilKey);
    if (!fileWritten) {
        SayResultFileNotWritten(fileProblem);
        textio::EndProgram(kExitFailed);
    }
    textio::EndProgram(kExitOk);
}

}  // namespace calc
