// The line editor behind line input: the user types and edits one line at the
// text cursor, in the graphics window or on a terminal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "textio/key_code.h"

namespace textio {

// Key values the editor acts on: the key codes of key_code.h.
namespace editkey {
constexpr int32_t kBackspace = 8;
constexpr int32_t kTab = 9;
constexpr int32_t kLineFeed = 10;
constexpr int32_t kEnter = 13;
constexpr int32_t kEscape = 27;
constexpr int32_t kHome = ExtendedKeyCode(kKeyHome);
constexpr int32_t kUp = ExtendedKeyCode(kKeyUp);
constexpr int32_t kLeft = ExtendedKeyCode(kKeyLeft);
constexpr int32_t kRight = ExtendedKeyCode(kKeyRight);
constexpr int32_t kEnd = ExtendedKeyCode(kKeyEnd);
constexpr int32_t kDown = ExtendedKeyCode(kKeyDown);
constexpr int32_t kDelete = ExtendedKeyCode(kKeyDelete);
}  // namespace editkey

// Polling interval while the editor waits for a key.
constexpr int kEditKeyPollMs = 25;
// The tone of Delete at the end of the line.
constexpr int kEditBeepHz = 1000;
constexpr int kEditBeepMs = 250;

// Lets the user edit one line, starting at the text cursor, until Enter (13 or
// 10). Keys come through the console's key operations and every change is
// drawn through its print and cursor operations, so the same editor serves the
// window and the terminal. With `markOn` the cursor cell carries the cursor
// mark (the byte 255 printed on its own) while the editor waits. Afterwards the
// cursor stands after the end of the line. Returns the line, or nothing when
// memory for it runs out. Ends the line early when terminal input has ended.
std::optional<std::string> EditLine(bool markOn);

// Moves the text cursor d cells along the screen in reading order from the
// 1-based column *x, row *y, on a grid of `columns` x `rows`; *x and *y receive
// the new position. A move that ends on column 1 of the row just below the last
// one scrolls the text view up by one row and leaves the screen cursor on
// column 1 of the last row (while *y says rows + 1).
void MoveCursor(int32_t* x, int32_t* y, int32_t d, int32_t columns, int32_t rows);

// The position `d` cells after (*x, *y) in reading order, without a row limit
// and without moving anything (d >= 0).
void AdvanceInReadingOrder(int32_t* x, int32_t* y, int64_t d, int32_t columns);

}  // namespace textio
