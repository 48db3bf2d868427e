#include "calc/data_stream.h"

#include "textio/text_to_number.h"

namespace calc {

void DataStream::SkipEmptyBlocks() {
    while (block_ != nullptr && index_ >= block_->count) {
        block_ = block_->next;
        index_ = 0;
    }
}

void DataStream::Restore() {
    block_ = first_;
    index_ = 0;
    SkipEmptyBlocks();
}

double DataStream::ReadDouble() {
    if (block_ == nullptr) return 0.0;
    const TextItem& item = block_->items[index_];
    const double value = textio::DoubleFromText(item.text, item.length);
    ++index_;
    SkipEmptyBlocks();
    return value;
}

}  // namespace calc
