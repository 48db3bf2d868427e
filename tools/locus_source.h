// The spectral locus from the colour matching functions, and the source file
// calc/spectral_locus_data.cpp that holds it (written by gen_locus, checked by
// the tests).
#pragma once

#include <string>
#include <vector>

#include "calc/spectral_locus.h"

namespace wltools {

// The chromaticities from calc::kLocusFirstNm to calc::kLocusLastNm at 1 nm, in
// wavelength order, from a table with a header line and the columns
// nm,xbar,ybar,zbar; rows outside the range are passed over. Throws
// std::runtime_error when the file cannot be read, a row is malformed, or a
// wavelength of the range is missing, repeated or has xbar + ybar + zbar = 0.
std::vector<calc::Chromaticity> ReadSpectralLocus(const std::string& cmfCsvPath);

// The text of calc/spectral_locus_data.cpp for these chromaticities: each
// number in the shortest form that reads back to the same double.
std::string SpectralLocusSource(const std::vector<calc::Chromaticity>& locus);

}  // namespace wltools
