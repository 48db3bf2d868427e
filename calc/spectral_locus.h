// The spectral locus of the CIE 1931 2-degree standard observer: the
// chromaticity of monochromatic light at every whole nanometre from 360 to
// 830 nm.
#pragma once

#include <cstddef>

namespace calc {

struct Chromaticity {
    double x;
    double y;
};

constexpr int kLocusFirstNm = 360;
constexpr int kLocusLastNm = 830;
constexpr size_t kLocusPoints = kLocusLastNm - kLocusFirstNm + 1;

// kSpectralLocus[i] is (kLocusFirstNm + i) nm: x = xbar / s, y = ybar / s with
// s = (xbar + ybar) + zbar of the colour matching functions. Generated from
// tools/data/cie1931_2deg_cmf_1nm.csv by tools/gen_locus (see there); each
// number reads back to the double that division gives.
extern const Chromaticity kSpectralLocus[kLocusPoints];

}  // namespace calc
