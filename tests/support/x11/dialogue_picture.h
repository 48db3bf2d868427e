// The dialogue as it should look in the window: the first text rows once a
// result shows, and a comparison of a screenshot with those rows drawn from
// the built-in 8x16 font and the 256-colour palette alone (colour 15 on 0).
// The X11 and the Wine end-to-end tests both judge their screenshots by it;
// the texts and result files are those of support/dialogue_text.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/dialogue_text.h"
#include "support/x11/xvfb.h"

namespace dialoguetest {

constexpr int kColumns = 80;
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;

// The first eight text rows once the result shows.
std::vector<std::string> DialogueRows(const std::string& typedX, const std::string& typedY,
                                      const std::string& result);

// Where the line editor waits: its cursor mark lights the bottom pixel row of
// the cell (0-based text row and column).
struct CursorMark {
    int row;
    int column;
};

// The editor's cursor right after a prompt on 0-based text row `row`.
inline CursorMark CursorAfterPrompt(int row) {
    return {row, static_cast<int>(kPromptX.size())};
}

// Where the client area starts in a screenshot.
struct Origin {
    int x = 0;
    int y = 0;
};

// Compares the text rows from 0-based `firstRow` of the client area at
// `client` in a screenshot with their expected picture (with the cursor mark,
// when given). Empty when equal, else the count and the first difference.
std::string PictureDifference(const x11test::Screenshot& shot, Origin client, int firstRow,
                              const std::vector<std::string>& rows,
                              std::optional<CursorMark> cursor = std::nullopt);

// Writes a screenshot as a binary PPM into the test output folder, for a look
// at a failure; returns a note naming the file.
std::string SavePicture(const x11test::Screenshot& shot);

// Writes a screenshot as a binary PPM to `path`; false when it cannot.
bool WritePicture(const x11test::Screenshot& shot, const std::string& path);

}  // namespace dialoguetest
