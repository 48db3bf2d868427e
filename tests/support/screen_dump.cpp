#include "support/screen_dump.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "gfxwin/keys/key_buffer.h"
#include "gfxwin/screen/draw_context.h"
#include "gfxwin/screen_mode.h"
#include "support/environment.h"
#include "textio/runtime_state.h"
#include "textio/screen_channel.h"

namespace gfxwin::testing {

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    testsupport::SetEnvironment(name, value ? value->c_str() : nullptr);
}

ScopedEnv::~ScopedEnv() {
    testsupport::SetEnvironment(name_.c_str(), saved_ ? saved_->c_str() : nullptr);
}

void ResetScreenWorld() {
    CloseScreen();
    textio::ScreenReleaseKeyText();
    textio::ResetRuntimeState();
}

void NullScreenTest::SetUp() {
    ResetScreenWorld();
    env_.emplace("KRGFX", "null");
    ASSERT_EQ(OpenScreen(18, 8, 0, 0, 0), 0);
    ASSERT_NE(CurrentScreen(), nullptr);
}

void NullScreenTest::TearDown() {
    DumpScreenIfFailed();
    ResetScreenWorld();
    env_.reset();
}

void NullScreenKeyTest::SetUp() {
    NullScreenTest::SetUp();
    ResetKeyBufferForTest();
    textio::ConsoleHooks& hooks = textio::Runtime().hooks;
    if (hooks.readKeyText == nullptr) hooks.readKeyText = ReadKeyText;
    if (hooks.keyWaiting == nullptr) hooks.keyWaiting = KeyAvailable;
}

void NullScreenKeyTest::TearDown() {
    ResetKeyBufferForTest();
    NullScreenTest::TearDown();
}

std::vector<std::string> ShadowRows() {
    std::vector<std::string> rows;
    const ScreenState* s = CurrentScreen();
    if (s == nullptr || s->textShadow == nullptr) return rows;
    const TextCell* shadow = s->textShadow[GetDrawContext().workPage];
    for (int32_t r = 0; r < s->textRows; ++r) {
        std::string row;
        for (int32_t c = 0; c < s->textColumns; ++c) {
            row.push_back(static_cast<char>(shadow[r * s->textColumns + c].code));
        }
        rows.push_back(row);
    }
    return rows;
}

std::string RenderShadow() {
    std::string text;
    for (const std::string& row : ShadowRows()) text += row + "\n";
    return text;
}

uint8_t PixelAt(int32_t x, int32_t y, int32_t page) {
    const ScreenState* s = CurrentScreen();
    return s->pages[page][static_cast<size_t>(y) * s->pitch + x];
}

std::string CellMismatch(int32_t column, int32_t row, uint8_t code, uint8_t fg, uint8_t bg) {
    const ScreenState* s = CurrentScreen();
    const FontDesc* font = s->font;
    for (int32_t gy = 0; gy < font->height; ++gy) {
        const uint8_t bits = font->glyphs[code * font->height + gy];
        for (int32_t gx = 0; gx < font->width; ++gx) {
            const uint8_t want = (bits >> gx) & 1 ? fg : bg;
            const int32_t x = column * font->width + gx;
            const int32_t y = row * font->height + gy;
            const uint8_t got = s->framebuffer[static_cast<size_t>(y) * s->pitch + x];
            if (got != want) {
                std::ostringstream out;
                out << "cell (" << column << "," << row << ") glyph " << int{code} << ": pixel ("
                    << x << "," << y << ") is " << int{got} << ", expected " << int{want};
                return out.str();
            }
        }
    }
    return {};
}

bool RowsAre(int32_t first, int32_t end, uint8_t value) {
    const ScreenState* s = CurrentScreen();
    for (int32_t y = first; y < end; ++y) {
        for (int32_t x = 0; x < s->width; ++x) {
            if (s->framebuffer[static_cast<size_t>(y) * s->pitch + x] != value) return false;
        }
    }
    return true;
}

std::vector<uint8_t> CopyRows(int32_t first, int32_t end) {
    const ScreenState* s = CurrentScreen();
    const uint8_t* begin = s->pages[0] + static_cast<size_t>(first) * s->pitch;
    return {begin, begin + static_cast<size_t>(end - first) * s->pitch};
}

int32_t DirtyCount(int32_t first, int32_t end) {
    const ScreenState* s = CurrentScreen();
    int32_t count = 0;
    for (int32_t y = first; y < end; ++y) count += s->dirtyRows[y] != 0;
    return count;
}

void ClearDirty() {
    ScreenState* s = CurrentScreen();
    std::fill(s->dirtyRows.Get(), s->dirtyRows + s->height * s->scanlineSize, uint8_t{0});
}

bool WriteScreenPpm(const std::string& path) {
    const ScreenState* s = CurrentScreen();
    if (s == nullptr || s->bytesPerPixel != 1) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", s->width, s->height);
    std::vector<uint8_t> line(static_cast<size_t>(s->width) * 3);
    for (int32_t y = 0; y < s->height; ++y) {
        for (int32_t x = 0; x < s->width; ++x) {
            const uint32_t colour =
                s->palette[s->framebuffer[static_cast<size_t>(y) * s->pitch + x]];
            line[3 * x] = colour & 0xFF;
            line[3 * x + 1] = (colour >> 8) & 0xFF;
            line[3 * x + 2] = (colour >> 16) & 0xFF;
        }
        std::fwrite(line.data(), 1, line.size(), file);
    }
    return std::fclose(file) == 0;
}

void DumpScreenIfFailed() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr || !::testing::Test::HasFailure() || CurrentScreen() == nullptr) return;
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    const std::string path = ::testing::TempDir() + name + ".ppm";
    if (WriteScreenPpm(path)) {
        std::printf("screen picture of the failed test: %s\n", path.c_str());
        std::printf("text shadow:\n%s", RenderShadow().c_str());
    }
}

}  // namespace gfxwin::testing
