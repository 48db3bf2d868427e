// A small terminal screen for tests: it takes what a program wrote to a
// terminal and keeps the characters, the cursor and the bells, as a VT100-like
// terminal would show them (cursor positioning, clearing, cursor visibility,
// wrap at the right edge deferred until the next character, scrolling at the
// bottom). Bytes are kept as they are; unknown sequences are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class VtScreen {
  public:
    VtScreen(int columns, int rows);

    void Feed(const std::string& bytes);

    // Row r (1-based), trailing blanks removed.
    std::string Row(int r) const;
    int CursorColumn() const { return column_ + 1; }
    int CursorRow() const { return row_ + 1; }
    bool CursorVisible() const { return cursorVisible_; }
    int Bells() const { return bells_; }

  private:
    void Put(char c);
    void LineFeed();
    void Csi(const std::string& params, char final);

    int columns_;
    int rows_;
    std::vector<std::string> cells_;
    int column_ = 0;
    int row_ = 0;
    bool wrapPending_ = false;
    bool cursorVisible_ = true;
    int bells_ = 0;
    // Parser state between Feed calls.
    enum class State { kText, kEscape, kCsi } state_ = State::kText;
    std::string params_;
};

}  // namespace testsupport
