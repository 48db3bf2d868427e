#include "textio/edit_line.h"

#include <new>
#include <string_view>

#include "textio/beep.h"
#include "textio/console.h"
#include "textio/locate.h"
#include "textio/print.h"
#include "textio/sleep.h"

namespace textio {

namespace {

constexpr int32_t kKeepVisibility = -1;
constexpr int32_t kHidden = 0;
constexpr int32_t kShown = 1;
constexpr int32_t kVisibleBit = 0x10000;
constexpr char kCursorMark = static_cast<char>(255);
constexpr int32_t kNoKey = -1;

void PrintBytes(const char* bytes, size_t length) {
    if (length > 0) ConsolePrintBytes(bytes, length, 0);
}

void PrintSpaces(size_t count) {
    static constexpr char kBlanks[64] = {
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    while (count > 0) {
        const size_t piece = count < sizeof kBlanks ? count : sizeof kBlanks;
        PrintBytes(kBlanks, piece);
        count -= piece;
    }
}

// One byte on channel 0, so the screen channel's column follows it.
void PrintOnScreenChannel(char byte) {
    PrintStringValue(0, std::string_view(&byte, 1), kMaskNone);
}

// Waits for the next key and returns its value, or kNoKey for an empty key
// text. A terminal whose input has ended answers Enter, so the line finishes.
int32_t NextKeyValue() {
    while (ConsoleKeyWaiting() == 0) SleepMilliseconds(kEditKeyPollMs);
    char text[2] = {0, 0};
    const size_t length = ConsoleReadKeyText(text);
    if (length == 0) return ConsoleInputEnded() ? editkey::kEnter : kNoKey;
    return KeyCodeOfText(text, length);
}

class Editor {
  public:
    explicit Editor(bool markOn) : markOn_(markOn) {}

    std::optional<std::string> Run() {
        ConsoleTextSize(&columns_, &rows_);
        if (columns_ < 1) columns_ = 1;
        if (rows_ < 1) rows_ = 1;
        const int32_t saved = (LocateChecked(0, 0, kKeepVisibility) & kVisibleBit) != 0 ? kShown : kHidden;
        LocateChecked(0, 0, kHidden);
        LocateChecked(0, 0, WaitVisibility());
        try {
            for (;;) {
                ConsoleCursorPosition(&x_, &y_);
                if (markOn_) {
                    PrintOnScreenChannel(kCursorMark);
                    LocateChecked(y_, x_, kKeepVisibility);
                }
                const int32_t key = NextKeyValue();
                if (key == kNoKey) continue;
                if (markOn_) {
                    PrintOnScreenChannel(pos_ < line_.size() ? line_[pos_] : ' ');
                    LocateChecked(y_, x_, kKeepVisibility);
                }
                Act(key);
                LocateChecked(0, 0, WaitVisibility());
                if (key == editkey::kEnter || key == editkey::kLineFeed) break;
            }
        } catch (const std::bad_alloc&) {
            LocateChecked(0, 0, saved);
            return std::nullopt;
        }
        ConsoleCursorPosition(&x_, &y_);
        Move(Signed(line_.size()) - Signed(pos_));
        LocateChecked(0, 0, saved);
        return std::move(line_);
    }

  private:
    static int64_t Signed(size_t n) { return static_cast<int64_t>(n); }

    int32_t WaitVisibility() const { return markOn_ ? kHidden : kShown; }

    void Move(int64_t cells) { MoveCursor(&x_, &y_, static_cast<int32_t>(cells), columns_, rows_); }

    void Act(int32_t key) {
        const size_t len = line_.size();
        const auto columns = static_cast<size_t>(columns_);
        switch (key) {
            case editkey::kBackspace:
                if (pos_ > 0) {
                    Move(-1);
                    --pos_;
                    Delete(1);
                }
                break;
            case editkey::kTab:
                Insert(std::string(8 - pos_ % 8, ' '));
                break;
            case editkey::kEnter:
            case editkey::kLineFeed:
                break;
            case editkey::kEscape:
                Move(-Signed(pos_));
                pos_ = 0;
                if (len > 0) Delete(len);
                break;
            case editkey::kHome:
                Move(-Signed(pos_));
                pos_ = 0;
                break;
            case editkey::kUp:
                if (pos_ >= columns) {
                    Move(-columns_);
                    pos_ -= columns;
                }
                break;
            case editkey::kLeft:
                if (pos_ > 0) {
                    Move(-1);
                    --pos_;
                }
                break;
            case editkey::kRight:
                if (pos_ < len) {
                    Move(1);
                    ++pos_;
                }
                break;
            case editkey::kEnd:
                Move(Signed(len) - Signed(pos_));
                pos_ = len;
                break;
            case editkey::kDown:
                if (pos_ + columns <= len) {
                    Move(columns_);
                    pos_ += columns;
                }
                break;
            case editkey::kDelete:
                if (pos_ == len) {
                    Beep(kEditBeepHz, kEditBeepMs);
                } else {
                    Delete(1);
                }
                break;
            default:
                if (key >= 32 && key <= 255) Insert(std::string(1, static_cast<char>(key)));
                break;
        }
    }

    // Removes n characters at pos: the tail moves left, blanks cover its old end.
    void Delete(size_t n) {
        LocateChecked(0, 0, kHidden);
        line_.erase(pos_, n);
        PrintBytes(line_.data() + pos_, line_.size() - pos_);
        PrintSpaces(n);
        LocateChecked(y_, x_, kKeepVisibility);
    }

    // Inserts bytes at pos and redraws the tail from there; the cursor ends
    // after the inserted bytes, also when the tail scrolled the text view.
    void Insert(const std::string& bytes) {
        LocateChecked(0, 0, kHidden);
        const int32_t x1 = x_;
        const int32_t y1 = y_;
        const size_t oldLength = line_.size();
        const size_t n = bytes.size();
        line_.insert(pos_, bytes);
        const size_t length = line_.size();
        PrintBytes(line_.data() + pos_, length - pos_);
        ConsoleCursorPosition(&x_, &y_);
        bool scrolled = false;
        if (pos_ != oldLength) {
            int32_t endX = x1;
            int32_t endY = y1;
            AdvanceInReadingOrder(&endX, &endY, Signed(length - pos_), columns_);
            scrolled = endY > rows_ + 1 || (endY == rows_ + 1 && endX > 1);
        }
        if (scrolled) {
            // The text view moved: step back over the rest of the tail from
            // where the print ended.
            Move(Signed(pos_ + n) - Signed(length));
        } else {
            x_ = x1;
            y_ = y1;
            Move(Signed(n));
        }
        pos_ += n;
    }

    const bool markOn_;
    int32_t columns_ = 0;
    int32_t rows_ = 0;
    int32_t x_ = 1;
    int32_t y_ = 1;
    std::string line_;
    size_t pos_ = 0;
};

}  // namespace

void AdvanceInReadingOrder(int32_t* x, int32_t* y, int64_t d, int32_t columns) {
    const int64_t t = int64_t{*x} - 1 + d;
    *y = static_cast<int32_t>(int64_t{*y} + t / columns);
    *x = static_cast<int32_t>(t % columns + 1);
}

void MoveCursor(int32_t* x, int32_t* y, int32_t d, int32_t columns, int32_t rows) {
    int64_t row0 = int64_t{*y} - 1;
    int64_t t = int64_t{*x} - 1 + d;
    if (t < 0) {
        const int64_t u = columns - t;
        row0 -= u / columns;
        t = columns - u % columns;
    }
    *y = static_cast<int32_t>(row0 + t / columns + 1);
    *x = static_cast<int32_t>(t % columns + 1);
    if (*x == 1 && *y == rows + 1) {
        // Just below the last row: printing a line end there scrolls the view.
        LocateChecked(rows, columns, kKeepVisibility);
        ConsolePrintBytes("\r\n", 2, 0);
    } else {
        LocateChecked(*y, *x, kKeepVisibility);
    }
}

std::optional<std::string> EditLine(bool markOn) {
    Editor editor(markOn);
    return editor.Run();
}

}  // namespace textio
