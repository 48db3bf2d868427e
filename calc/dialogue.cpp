#include "calc/dialogue.h"

#include <cstdint>

#include "calc/calculation.h"
#include "calc/dialogue_texts.h"
#include "calc/result_file.h"
#include "gfxwin/screen_mode.h"
#include "textio/console.h"
#include "textio/input_context.h"
#include "textio/key_wait.h"
#include "textio/line_input.h"
#include "textio/print.h"
#include "textio/runtime.h"

namespace calc {

namespace {

constexpr int kScreen = 0;

// The screen: mode 18 (640x480, 256 colours, 80x30 text) at 8 bits, with the
// mode's own page count, in a window, at the display's refresh rate.
constexpr int32_t kScreenMode = 18;
constexpr int32_t kScreenDepth = 8;
constexpr int32_t kModePages = 0;
constexpr int32_t kWindowed = 0;
constexpr int32_t kAnyRefreshRate = 0;

// Each input line shows "? " after its prompt and ends its screen line.
constexpr bool kQuestionMark = true;
constexpr bool kEndLine = true;

// The result line's first field: the short-wave end of the visible spectrum
// in nm, the same for every input.
constexpr int64_t kStartWavelength = 380;

}  // namespace

void RunDialogue(int argumentCount, char** arguments) {
    // Set-up.
    textio::StoreArguments(argumentCount, arguments, 0);
    gfxwin::OpenScreen(kScreenMode, kScreenDepth, kModePages, kWindowed, kAnyRefreshRate);
    textio::ClearScreen(textio::kClearDefault);
    OpenResultFile();
    double x = 0.0;
    double y = 0.0;

    // Dialogue.
    textio::PrintStringValue(kScreen, kHeading, textio::kMaskLineEnd);
    textio::PrintStringValue(kScreen, kUnderline, textio::kMaskLineEnd);
    textio::PrintEnd(kScreen, textio::kMaskLineEnd);
    textio::PrintEnd(kScreen, textio::kMaskLineEnd);
    textio::LineInput(&kPromptX, kQuestionMark, kEndLine);
    textio::InputReadDouble(&x);
    textio::LineInput(&kPromptY, kQuestionMark, kEndLine);
    textio::InputReadDouble(&y);
    textio::PrintEnd(kScreen, textio::kMaskLineEnd);

    // Calculation; each pass writes its triple line to the result file.
    const double la = Calculate(x, y, WriteTripleLine).la;

    textio::PrintStringValue(kScreen, kResultCaption, textio::kMaskNone);
    textio::PrintDouble(kScreen, la, textio::kMaskLineEnd);
    WriteResultLine(kStartWavelength, la);

    // Ending: one key closes the result file, a further one ends the program.
    textio::ReadChars(1, kScreen);
    CloseResultFile();
    textio::Pause(textio::kSleepUntilKey);
    textio::EndProgram(0);
}

}  // namespace calc
