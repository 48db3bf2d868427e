// The last typed line and the scanner that splits it into items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "textio/file_record.h"

namespace textio {

struct InputContext {
    FileRecord* channel;  // null: the items come from text
    int32_t status;
    std::string text;  // the last typed line, without its line end
    int32_t position;  // index of the next byte to scan
};

constexpr int kEndOfText = -1;
constexpr int kMaxItemLength = 67;

// The process-wide input context (created empty on first use).
InputContext& CurrentInputContext();
// Empties the context: text released, channel null, status and position 0.
void ResetInputContext();

// The next byte of the text as 0..255, or kEndOfText.
int NextChar();
// Steps the read position back by one when it is above 0.
void PutBackChar();

struct Item {
    char bytes[kMaxItemLength + 1];  // zero-terminated
    int length;
    bool floating;  // holds '.', 'E', 'e' (or 'D', 'd', stored as 'E', 'e') before any '&'
};

// Scans the next comma- or blank-separated item, at most `max` bytes.
Item NextItem(int max = kMaxItemLength);

// Converts the next item to a double; LastError becomes 0.
void InputReadDouble(double* value);

}  // namespace textio
