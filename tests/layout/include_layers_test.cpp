// The product's include lines follow its layers: calc over gfxwin over textio
// over platform, and inside gfxwin from opening the screen down to the screen
// state. A file that includes a header of a layer above its own, or a platform
// file that includes anything of ours, is a design drifting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The rank of a product path: a file may include headers of its own rank or a
// higher one. Ranks 30..36 are gfxwin's layers from the top; text and window
// share a rank but stay apart (see Independent).
std::optional<int> Rank(const std::string& path) {
    auto under = [&](const char* prefix) { return path.rfind(prefix, 0) == 0; };
    if (under("calc/")) return 10;
    if (under("gfxwin/console/")) return 31;
    if (under("gfxwin/text/") || under("gfxwin/window/")) return 32;
    if (under("gfxwin/keys/")) return 33;
    if (under("gfxwin/screen/")) return 34;
    if (under("gfxwin/data/")) return 35;
    if (path == "gfxwin/window_driver.h") return 36;
    if (under("gfxwin/")) return 30;  // screen_mode, screen_setup: the face calc uses
    if (under("textio/")) return 50;
    if (under("platform/")) return 60;
    return std::nullopt;
}

// Two folders of one rank that must not include each other.
bool Independent(const std::string& a, const std::string& b) {
    const bool aText = a.rfind("gfxwin/text/", 0) == 0, bText = b.rfind("gfxwin/text/", 0) == 0;
    const bool aWindow = a.rfind("gfxwin/window/", 0) == 0;
    const bool bWindow = b.rfind("gfxwin/window/", 0) == 0;
    return (aText && bWindow) || (aWindow && bText);
}

// Every `#include "..."` of one file.
std::vector<std::string> QuotedIncludes(const fs::path& file) {
    std::vector<std::string> result;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const size_t hash = line.find_first_not_of(" \t");
        if (hash == std::string::npos || line.compare(hash, 8, "#include") != 0) continue;
        const size_t open = line.find('"', hash);
        const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
        if (close != std::string::npos) result.push_back(line.substr(open + 1, close - open - 1));
    }
    return result;
}

// "file: includes header" for every include that runs against the layers.
std::vector<std::string> LayerViolations(const fs::path& root) {
    std::vector<std::string> found;
    for (const char* top : {"calc", "gfxwin", "textio", "platform"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
            const std::string file = fs::relative(entry.path(), root).generic_string();
            const int own = *Rank(file);
            for (const std::string& header : QuotedIncludes(entry.path())) {
                const std::optional<int> theirs = Rank(header);
                if (!theirs) continue;  // not ours
                const bool platformReachesUp = own == 60 && *theirs != 60;
                if (*theirs < own || platformReachesUp || Independent(file, header)) {
                    found.push_back(file + ": includes " + header);
                }
            }
        }
    }
    return found;
}

TEST(IncludeLayersTest, NoProductFileIncludesAHeaderOfAHigherLayer) {
    const std::vector<std::string> found = LayerViolations(WL_SOURCE_DIR);
    std::string list;
    for (const std::string& v : found) list += "\n  " + v;
    EXPECT_TRUE(found.empty()) << "includes against the layers:" << list;
}

TEST(IncludeLayersTest, RanksFollowTheLayerOrder) {
    // The checker itself: a screen file reaching for the window, or textio for
    // gfxwin, must count as going up.
    EXPECT_LT(*Rank("gfxwin/window/window.h"), *Rank("gfxwin/screen/screen_state.h"));
    EXPECT_LT(*Rank("gfxwin/screen_mode.h"), *Rank("gfxwin/console/graphics_hooks.h"));
    EXPECT_LT(*Rank("gfxwin/keys/key_buffer.h"), *Rank("gfxwin/window_driver.h"));
    EXPECT_LT(*Rank("gfxwin/data/lzw.h"), *Rank("textio/print.h"));
    EXPECT_TRUE(Independent("gfxwin/text/text_engine.cpp", "gfxwin/window/window.h"));
    EXPECT_FALSE(Rank("support/xvfb.h").has_value());
}

}  // namespace
