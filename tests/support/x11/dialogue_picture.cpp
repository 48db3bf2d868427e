#include "support/x11/dialogue_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <utility>

#include "gfxwin/data/builtin_data.h"

namespace dialoguetest {

namespace {

constexpr int kForeground = 15;
constexpr int kBackground = 0;

uint32_t PaletteColour(int index) {
    const gfxwin::PaletteDesc* palette = gfxwin::BuiltinPalette(3);
    const uint8_t* rgb = palette->rgb + 3 * index;
    return (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
}

// The pixel at (x, y) of text rows drawn from the top left, each row padded
// with blanks to the full width.
class TextPicture {
  public:
    explicit TextPicture(std::vector<std::string> rows) : rows_(std::move(rows)) {
        font_ = gfxwin::BuiltinFont(2);
        fg_ = PaletteColour(kForeground);
        bg_ = PaletteColour(kBackground);
    }
    bool ok() const {
        return font_ != nullptr && font_->width == kCellWidth && font_->height == kCellHeight;
    }
    int height() const { return static_cast<int>(rows_.size()) * kCellHeight; }
    uint32_t At(int x, int y) const {
        const std::string& row = rows_[static_cast<size_t>(y / kCellHeight)];
        const size_t column = static_cast<size_t>(x / kCellWidth);
        const auto code = static_cast<unsigned char>(column < row.size() ? row[column] : ' ');
        const uint8_t bits = font_->glyphs[code * kCellHeight + y % kCellHeight];
        return (bits >> (x % kCellWidth)) & 1 ? fg_ : bg_;
    }

  private:
    std::vector<std::string> rows_;
    const gfxwin::FontDesc* font_ = nullptr;
    uint32_t fg_ = 0, bg_ = 0;
};

}  // namespace

std::vector<std::string> DialogueRows(const std::string& typedX, const std::string& typedY,
                                      const std::string& result) {
    return {kHeading,          kUnderline,        "", "",
            kPromptX + typedX, kPromptY + typedY, "", kCaption + result};
}

std::string PictureDifference(const x11test::Screenshot& shot, Origin client, int firstRow,
                              const std::vector<std::string>& rows,
                              std::optional<CursorMark> cursor) {
    const TextPicture want(rows);
    if (!want.ok()) return "the built-in 8x16 font is missing";
    const int left = client.x;
    const int top = client.y + firstRow * kCellHeight;
    if (left < 0 || client.y < 0 || shot.width < left + kColumns * kCellWidth ||
        shot.height < top + want.height()) {
        return "screenshot of " + std::to_string(shot.width) + "x" + std::to_string(shot.height);
    }
    int mismatches = 0;
    char first[160] = "";
    for (int y = 0; y < want.height(); ++y) {
        for (int x = 0; x < kColumns * kCellWidth; ++x) {
            const bool marked = cursor && cursor->row == firstRow + y / kCellHeight &&
                                cursor->column == x / kCellWidth &&
                                y % kCellHeight == kCellHeight - 1;
            const uint32_t expected = marked ? PaletteColour(kForeground) : want.At(x, y);
            const uint32_t got = shot.At(left + x, top + y);
            if (got == expected) continue;
            if (mismatches++ == 0) {
                std::snprintf(first, sizeof first,
                              "first at pixel (%d, %d), text row %d column %d: 0x%06x, want 0x%06x",
                              x, firstRow * kCellHeight + y, firstRow + y / kCellHeight + 1,
                              x / kCellWidth + 1, got, expected);
            }
        }
    }
    if (mismatches == 0) return "";
    return std::to_string(mismatches) + " pixels differ; " + first;
}

bool WritePicture(const x11test::Screenshot& shot, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", shot.width, shot.height);
    for (const uint32_t p : shot.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                      static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, f);
    }
    return std::fclose(f) == 0;
}

std::string SavePicture(const x11test::Screenshot& shot) {
    if (shot.pixels.empty()) return "";
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string path =
        ::testing::TempDir() + test->test_suite_name() + "." + test->name() + ".ppm";
    if (!WritePicture(shot, path)) return "";
    return " (picture in " + path + ")";
}

}  // namespace dialoguetest
