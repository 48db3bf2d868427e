// The program's constant data items: decimal texts in linked blocks, read in
// order through one cursor and converted at the moment they are read.
#pragma once

#include <cstddef>

namespace calc {

struct TextItem {
    const char* text;
    size_t length;
};

template <size_t N>
constexpr TextItem Item(const char (&text)[N]) {
    return TextItem{text, N - 1};
}

struct DataBlock {
    const TextItem* items;
    size_t count;
    const DataBlock* next;  // null after the last block
};

class DataStream {
  public:
    explicit DataStream(const DataBlock* first) : first_(first) { Restore(); }

    // Puts the cursor on the first item of the first block.
    void Restore();
    // Converts the item under the cursor and moves on; 0 once past the end.
    double ReadDouble();
    bool AtEnd() const { return block_ == nullptr; }

  private:
    void SkipEmptyBlocks();

    const DataBlock* first_;
    const DataBlock* block_ = nullptr;
    size_t index_ = 0;
};

}  // namespace calc
