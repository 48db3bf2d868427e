// The icon tool: the files the project keeps are what it draws today, and its
// checksums agree with the published check values.
#include <gtest/gtest.h>

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
    for (const int size : tools::kPngSizes) {
        const std::string png = tools::EncodePng(tools::RenderIcon(locus, size));
        EXPECT_EQ(png, testsupport::ReadFileBytes(kIcons + tools::PngFileName(size)))
            << "packaging/icons/" << tools::PngFileName(size)
            << " is out of date: run gen_icon (see tools/gen_icon.cpp)";
    }
    std::vector<std::string> pngs;
    for (const int size : tools::kIcoSizes) {
        pngs.push_back(tools::EncodePng(tools::RenderIcon(locus, size)));
    }
    EXPECT_EQ(tools::EncodeIco(pngs, tools::kIcoSizes),
              testsupport::ReadFileBytes(kIcons + tools::kIcoFileName));
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
