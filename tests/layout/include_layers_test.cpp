// The product's include lines follow its layers: calc over gfxwin over textio
// over platform, and inside gfxwin from opening the screen down to the screen
// state, with the window systems' drivers above the window layer. A file that
// includes a header of a layer above its own, or a platform file that
// includes anything of ours, is a design drifting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The window systems' folders: their drivers and hosts sit above the window
// layer they are built on, and each keeps to itself.
const char* const kDriverFolders[] = {"gfxwin/window/x11/", "gfxwin/window/win32/",
                                      "gfxwin/window/web/"};

bool Under(const std::string& path, const char* prefix) {
    return path.rfind(prefix, 0) == 0;
}

const char* DriverFolder(const std::string& path) {
    for (const char* folder : kDriverFolders) {
        if (Under(path, folder)) return folder;
    }
    return nullptr;
}

// The rank of a product path: a file may include headers of its own rank or a
// higher one. Ranks 30..37 are gfxwin's layers from the top; text and the
// window layer share a rank but stay apart (see Independent).
std::optional<int> Rank(const std::string& path) {
    if (Under(path, "calc/")) return 10;
    if (Under(path, "gfxwin/console/")) return 31;
    if (DriverFolder(path) != nullptr) return 32;
    if (Under(path, "gfxwin/text/") || Under(path, "gfxwin/window/")) return 33;
    if (Under(path, "gfxwin/keys/")) return 34;
    if (Under(path, "gfxwin/screen/")) return 35;
    if (Under(path, "gfxwin/data/")) return 36;
    if (path == "gfxwin/window_driver.h") return 37;
    if (Under(path, "gfxwin/")) return 30;  // screen_mode, screen_setup: the face calc uses
    if (Under(path, "textio/")) return 50;
    if (Under(path, "platform/")) return 60;
    return std::nullopt;
}

// Two files that must not include each other: text and the window layer with
// its drivers, and the drivers of two window systems.
bool Independent(const std::string& a, const std::string& b) {
    const bool aText = Under(a, "gfxwin/text/"), bText = Under(b, "gfxwin/text/");
    const bool aWindow = Under(a, "gfxwin/window/"), bWindow = Under(b, "gfxwin/window/");
    const char* aDriver = DriverFolder(a);
    const char* bDriver = DriverFolder(b);
    const bool otherSystem = aDriver != nullptr && bDriver != nullptr && aDriver != bDriver;
    return (aText && bWindow) || (aWindow && bText) || otherSystem;
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
    // The checker itself: a screen file reaching for the window, textio for
    // gfxwin, or the window layer for a driver's host must count as going up.
    EXPECT_LT(*Rank("gfxwin/window/window.h"), *Rank("gfxwin/screen/screen_state.h"));
    EXPECT_LT(*Rank("gfxwin/screen_mode.h"), *Rank("gfxwin/console/graphics_hooks.h"));
    EXPECT_LT(*Rank("gfxwin/keys/key_buffer.h"), *Rank("gfxwin/window_driver.h"));
    EXPECT_LT(*Rank("gfxwin/data/lzw.h"), *Rank("textio/print.h"));
    EXPECT_LT(*Rank("gfxwin/window/x11/x11_host.h"), *Rank("gfxwin/window/window.h"));
    EXPECT_LT(*Rank("gfxwin/window/web/web_driver.cpp"), *Rank("gfxwin/window/refusal.h"));
    EXPECT_TRUE(Independent("gfxwin/text/text_engine.cpp", "gfxwin/window/window.h"));
    EXPECT_TRUE(Independent("gfxwin/window/win32/gdi_driver.cpp", "gfxwin/window/x11/x11_host.h"));
    EXPECT_FALSE(Independent("gfxwin/window/x11/x11_driver.cpp", "gfxwin/window/x11/x11_host.h"));
    EXPECT_FALSE(Rank("support/xvfb.h").has_value());
}

}  // namespace
