// The last typed line, and the scanner that splits a line into items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

struct Item {
    char bytes[kMaxItemLength + 1];  // zero-terminated
    int length;
    bool floating;  // holds '.', 'E', 'e' (or 'D', 'd', stored as 'E', 'e') before any '&'
};

// Splits a line into items: an item ends at a comma, at a blank (space or
// tab) or at a line end; double quotes protect commas and blanks; 'D'/'d'
// exponents become 'E'/'e'. Every byte, 255 included, is a character; only
// the end of the text ends the scan. Keeps no state but its own: any thread
// may scan its own lines.
class ItemScanner {
  public:
    explicit ItemScanner(std::string_view text, size_t position = 0)
        : text_(text), position_(position) {}

    // The next item, at most `max` bytes (1 to kMaxItemLength); past the end
    // of the text the empty item.
    Item Next(int max = kMaxItemLength);
    // The next item converted as a typed number is (0 past the end).
    double NextDouble();

    // The next byte as 0..255, or kEndOfText.
    int NextChar() {
        return position_ < text_.size() ? static_cast<unsigned char>(text_[position_++]) : kEndOfText;
    }
    // Steps back by one byte when not at the start.
    void PutBackChar() {
        if (position_ > 0) --position_;
    }
    size_t Position() const { return position_; }

  private:
    std::string_view text_;
    size_t position_;
};

// The process-wide input context (created empty on first use). Main thread.
InputContext& CurrentInputContext();
// Empties the context: text released, channel null, status and position 0.
void ResetInputContext();

// NextChar, PutBackChar and NextItem scan the context's text from its position
// and move the position on.
int NextChar();
void PutBackChar();
Item NextItem(int max = kMaxItemLength);

// Converts the context's next item to a double; LastError becomes 0.
void InputReadDouble(double* value);

}  // namespace textio
