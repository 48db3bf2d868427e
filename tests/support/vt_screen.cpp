#include "support/vt_screen.h"

#include <algorithm>
#include <cstdlib>

namespace testsupport {

VtScreen::VtScreen(int columns, int rows)
    : columns_(columns),
      rows_(rows),
      cells_(static_cast<size_t>(rows), std::string(columns, ' ')) {}

std::string VtScreen::Row(int r) const {
    std::string row = cells_.at(static_cast<size_t>(r - 1));
    while (!row.empty() && row.back() == ' ') row.pop_back();
    return row;
}

void VtScreen::LineFeed() {
    if (row_ + 1 < rows_) {
        ++row_;
        return;
    }
    cells_.erase(cells_.begin());
    cells_.emplace_back(static_cast<size_t>(columns_), ' ');
}

void VtScreen::Put(char c) {
    if (wrapPending_) {
        wrapPending_ = false;
        column_ = 0;
        LineFeed();
    }
    cells_[static_cast<size_t>(row_)][static_cast<size_t>(column_)] = c;
    if (column_ + 1 < columns_) {
        ++column_;
    } else {
        wrapPending_ = true;
    }
}

void VtScreen::Csi(const std::string& params, char final) {
    wrapPending_ = false;
    std::vector<int> numbers;
    bool privateMode = false;
    std::string current;
    for (const char c : params + ";") {
        if (c == '?') {
            privateMode = true;
        } else if (c == ';') {
            numbers.push_back(current.empty() ? 0 : std::atoi(current.c_str()));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    auto number = [&](size_t i, int fallback) {
        return i < numbers.size() && numbers[i] > 0 ? numbers[i] : fallback;
    };
    switch (final) {
        case 'H':
        case 'f':
            row_ = std::min(number(0, 1), rows_) - 1;
            column_ = std::min(number(1, 1), columns_) - 1;
            break;
        case 'J':
            if (number(0, 0) == 2) {
                for (std::string& row : cells_) row.assign(static_cast<size_t>(columns_), ' ');
            }
            break;
        case 'h':
        case 'l':
            if (privateMode && number(0, 0) == 25) cursorVisible_ = final == 'h';
            break;
        default:
            break;
    }
}

void VtScreen::Feed(const std::string& bytes) {
    for (const char c : bytes) {
        switch (state_) {
            case State::kEscape:
                if (c == '[') {
                    state_ = State::kCsi;
                    params_.clear();
                } else {
                    state_ = State::kText;
                }
                continue;
            case State::kCsi:
                if (static_cast<unsigned char>(c) >= 0x40 &&
                    static_cast<unsigned char>(c) <= 0x7E) {
                    Csi(params_, c);
                    state_ = State::kText;
                } else {
                    params_.push_back(c);
                }
                continue;
            case State::kText:
                break;
        }
        switch (c) {
            case 0x1B:
                state_ = State::kEscape;
                break;
            case '\r':
                wrapPending_ = false;
                column_ = 0;
                break;
            case '\n':
                wrapPending_ = false;
                LineFeed();
                break;
            case '\b':
                wrapPending_ = false;
                if (column_ > 0) --column_;
                break;
            case '\a':
                ++bells_;
                break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20) Put(c);
                break;
        }
    }
}

}  // namespace testsupport
