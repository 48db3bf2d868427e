// The segment table: 64 cubic pieces of the dominant wavelength over the hue
// parameter t, from 3.653 (long-wave end) to 22.71675 (short-wave end).
#pragma once

#include <cstddef>

#include "calc/data_stream.h"

namespace calc {

constexpr size_t kSegmentRows = 64;
constexpr size_t kItemsPerRow = 7;
extern const DataBlock kSegmentBlocks[kSegmentRows];

// The stream over the table, shared by the dialogue and the lookup.
DataStream& SegmentStream();

// The wavelength in nm for t, rounded down to three decimals. Restores the
// stream and scans the rows from the first; the first row whose bounds hold t
// wins. A t that no row holds (the white point, or not a number) gives NaN.
double WavelengthForT(double t);

}  // namespace calc
