// One line input statement: prompt, typed line, then items read from it.
#pragma once

#include <string>
#include <string_view>

namespace textio {

// Prints the prompt (and "? " when `question` is non-zero), takes one typed line
// into the input context and ends the screen line when `lineEnd` is non-zero.
// `prompt` may be null. The result code is left in LastError.
void LineInput(const std::string_view* prompt, int question, int lineEnd);

// A line input around the line editor, as the window and an interactive
// terminal run it: a pending line feed is carried out, the prompt (when given,
// followed by "? " when `question` is non-zero) is printed on channel 0, the
// line is edited (with the cursor mark when `markOn`), and with `lineEnd` the
// screen line ends. Returns 0, or 4 when memory ran out; the destination then
// keeps what it held.
int EditedLineInput(const std::string_view* prompt, std::string* destination, int question,
                    int lineEnd, bool markOn);

}  // namespace textio
