// Cursor moves as the text layer asks for them: requests outside the text view
// are refused quietly.
#pragma once

#include <cstdint>

namespace textio {

// Locate with the text layer's check: moves the text cursor to the 1-based row
// and column; 0 keeps a coordinate.
// A row (other than 0) outside the text view or a column (other than 0)
// outside 1..text columns moves nothing: it only clears a pending line feed,
// as a request for (0, 0) does. An accepted request with a column sets the
// screen channel's column to column - 1. Returns the console's packed cursor
// position (bit 16 set when the cursor is shown); LastError ends as 0.
int32_t LocateChecked(int32_t row, int32_t column, int32_t visibility);

// The text view as 1-based first and last row.
void TextViewRows(int32_t* top, int32_t* bottom);

}  // namespace textio
