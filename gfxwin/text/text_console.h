// The console operations of the open graphics screen: clearing, the cursor,
// colours, the text grid size, reading cells back, and 16-bit text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gfxwin {

// 0 whole screen, 1 graphics viewport, 2 text view, 0xFFFF0000 the default
// (viewport if set, else whole screen if the text view covers every row, else
// the text view); any other value acts as 1.
void ClearGraphicsScreen(uint32_t mode);

// 1-based; a coordinate below 1 is kept. Returns 257 + column + 256 * row of the
// 0-based cursor (each mod 256).
int32_t Locate(int32_t row, int32_t column, int32_t visibility);

// 1-based cursor; 0 when no screen is open.
int32_t CursorColumn();
int32_t CursorRow();
void CursorPosition(int32_t* column, int32_t* row);

// Text columns and rows (0 when no screen is open); either output may be null.
void TextSize(int32_t* columns, int32_t* rows);

// Returns the previous colours as foreground + 65536 * background. Flag 1 keeps
// the foreground, flag 2 the background.
int32_t SetColours(int32_t foreground, int32_t background, int32_t flags);

// Changes the text grid when the new cell is 8 wide and 8, 14 or 16 high; a
// value of 0 or less keeps the current one. Returns previous columns + 65536 *
// previous rows.
int32_t SetTextSize(int32_t columns, int32_t rows);

// Selector 0: the character code at the 1-based position; otherwise its colours
// (foreground + 256 * background for depths 5..8, + 16 * background below).
// 0 outside the grid.
int32_t ReadCell(int32_t column, int32_t row, int32_t selector);

// The byte the screen shows for the 16-bit unit units[i]: a unit below 256 is
// that byte, any other unit '?', and a high surrogate together with the unit
// after it is one '?' (`i` then steps onto the second unit of the pair). Never
// reads at or past `length`.
template <typename Unit>
char NarrowUnit(const Unit* units, size_t length, size_t& i) {
    const auto unit = static_cast<uint16_t>(units[i]);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length) ++i;
    return unit < 256 ? static_cast<char>(unit) : '?';
}

// Prints 16-bit text, each unit narrowed by NarrowUnit.
void PrintWideText(const uint16_t* units, size_t length, uint32_t flags);

}  // namespace gfxwin
