#include "textio/locate.h"

#include "textio/console.h"
#include "textio/last_error.h"
#include "textio/screen_channel.h"

namespace textio {

namespace {
// The bottom row when the text view is not set and the size query has no rows.
constexpr int32_t kFallbackBottom = 24;
}  // namespace

void TextViewRows(int32_t* top, int32_t* bottom) {
    const TextView view = CurrentTextView();
    int32_t rows = 0;
    ConsoleTextSize(nullptr, &rows);
    *top = (view.top < 0 ? 0 : view.top) + 1;
    if (view.bottom >= 0) {
        *bottom = view.bottom + 1;
    } else {
        *bottom = (rows > 0 ? rows - 1 : kFallbackBottom) + 1;
    }
}

int32_t LocateChecked(int32_t row, int32_t column, int32_t visibility) {
    int32_t top = 0;
    int32_t bottom = 0;
    TextViewRows(&top, &bottom);
    int32_t columns = 0;
    ConsoleTextSize(&columns, nullptr);
    const bool rowBad = row != 0 && (row < top || row > bottom);
    const bool columnBad = column != 0 && (column < 1 || column > columns);
    if (rowBad || columnBad) {
        SetLastError(kErrInvalidCall);
        return LocateChecked(0, 0, visibility);
    }
    const int32_t packed = ConsoleLocate(row, column, visibility);
    if (column != 0) ScreenSetColumn(static_cast<uint32_t>(column - 1));
    SetLastError(kOk);
    return packed;
}

}  // namespace textio
