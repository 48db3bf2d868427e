// The icon tool: the files the project keeps are what it draws today, and its
// checksums agree with the published check values.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/child_process.h"
#include "tools/icon_render.h"
#include "tools/png_encoder.h"

namespace {

const std::string kIcons = std::string(WL_SOURCE_DIR) + "/packaging/icons/";

TEST(Icon, KeptFilesAreReproducedByteForByte) {
    const std::vector<tools::Chromaticity> locus =
        tools::ReadLocus(std::string(WL_SOURCE_DIR) + "/tools/data/cie1931_2deg_cmf_1nm.csv");
    ASSERT_EQ(locus.size(), 321u);
    std::set<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(kIcons)) {
        kept.insert(entry.path().filename().string());
    }
    std::set<std::string> drawn;
    for (const auto& [name, bytes] : tools::IconFiles(locus)) {
        drawn.insert(name);
        EXPECT_EQ(bytes, testsupport::ReadFileBytes(kIcons + name))
            << "packaging/icons/" << name << " is out of date: run gen_icon (see tools/gen_icon.cpp)";
    }
    EXPECT_EQ(drawn, kept);
}

TEST(Icon, ChecksumsMatchTheirCheckValues) {
    const std::string digits = "123456789";
    const auto* bytes = reinterpret_cast<const uint8_t*>(digits.data());
    EXPECT_EQ(tools::Crc32(bytes, digits.size()), 0xCBF43926u);
    const std::string word = "Wikipedia";
    EXPECT_EQ(tools::Adler32(reinterpret_cast<const uint8_t*>(word.data()), word.size()),
              0x11E60398u);
}

}  // namespace
