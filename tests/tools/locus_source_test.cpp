// The kept spectral locus is what gen_locus makes of the colour matching
// functions today.
#include "tools/locus_source.h"

#include <gtest/gtest.h>

#include <string>

#include "support/child_process.h"

namespace {

TEST(SpectralLocusSource, KeptFileIsWhatTheGeneratorWrites) {
    const std::string root = WL_SOURCE_DIR;
    const std::string made = wltools::SpectralLocusSource(
        wltools::ReadSpectralLocus(root + "/tools/data/cie1931_2deg_cmf_1nm.csv"));
    EXPECT_EQ(made, testsupport::ReadFileBytes(root + "/calc/spectral_locus_data.cpp"))
        << "calc/spectral_locus_data.cpp is out of date: run gen_locus (see tools/gen_locus.cpp)";
}

}  // namespace
