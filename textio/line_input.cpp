#include "textio/line_input.h"

#include "textio/console.h"
#include "textio/input_context.h"
#include "textio/last_error.h"
#include "textio/screen_channel.h"

namespace textio {

void LineInput(const std::string_view* prompt, int question, int lineEnd) {
    ScreenReadInit();
    // A redirected keyboard would be read as a file; the screen never is.
    ConsoleInputRedirected();
    ResetInputContext();
    const int code = ConsoleLineInput(prompt, &CurrentInputContext().text, question, lineEnd);
    SetLastError(code);
}

}  // namespace textio
