// One line input statement: prompt, typed line, then items read from it.
#pragma once

#include <string_view>

namespace textio {

// Prints the prompt (and "? " when `question` is non-zero), takes one typed line
// into the input context and ends the screen line when `lineEnd` is non-zero.
// `prompt` may be null. The result code is left in LastError.
void LineInput(const std::string_view* prompt, int question, int lineEnd);

}  // namespace textio
