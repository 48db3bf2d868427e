// The line-input slots of the console operations while a screen is open: the
// line editor runs in the text window with its cursor mark.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gfxwin {

// Carries out a pending line feed, prints the prompt (when given) and "? "
// (with `question`), edits one line with the cursor mark, and ends the screen
// line (with `lineEnd`). The destination is always a string of any length, so
// `size` (-1) and `fill` (0) change nothing. Returns 0, or 4 when memory ran
// out (the destination then keeps what it held).
int GraphicsLineInput(const std::string_view* prompt, std::string* destination, int64_t size,
                      int fill, bool question, bool lineEnd);

// The 16-bit form: the prompt is printed as 16-bit text is (units above 255
// become '?', a surrogate pair one '?'); each typed byte becomes one unit.
int GraphicsLineInputWide(const std::u16string_view* prompt, std::u16string* destination,
                          int64_t size, int fill, bool question, bool lineEnd);

// The byte form of 16-bit text, as the screen shows it.
std::string NarrowForScreen(std::u16string_view units);

}  // namespace gfxwin
