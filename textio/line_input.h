// One line input statement: prompt, typed line, then items read from it.
#pragma once

#include <string>
#include <string_view>

namespace textio {

// Prints the prompt (and "? " with `question`), takes one typed line into the
// input context and ends the screen line with `lineEnd`. `prompt` may be null.
// The result code is left in LastError.
void LineInput(const std::string_view* prompt, bool question, bool lineEnd);
// The switches of a line input that shows "? " after its prompt and ends its
// screen line after the typed line.
constexpr bool kWithQuestionMark = true;
constexpr bool kWithLineEnd = true;

// The start of every line input: a pending line feed is carried out, then the
// prompt (when given, followed by "? " with `question`) is printed on
// channel 0.
void PrintLinePrompt(const std::string_view* prompt, bool question);

// A line input around the line editor, as the window and an interactive
// terminal run it: the prompt (PrintLinePrompt), the line edited (with the
// cursor mark when `markOn`), and with `lineEnd` the end of the screen line.
// Returns 0, or 4 when memory ran out; the destination then keeps what it
// held.
int EditedLineInput(const std::string_view* prompt, std::string* destination, bool question,
                    bool lineEnd, bool markOn);

}  // namespace textio
