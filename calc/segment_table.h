// The segment table: 64 cubic pieces of the dominant wavelength over the hue
// parameter t, from 3.653 (long-wave end) to 22.71675 (short-wave end).
#pragma once

#include <array>
#include <cstddef>

#include "calc/data_stream.h"

namespace calc {

constexpr size_t kSegmentRows = 64;
constexpr size_t kItemsPerRow = 7;  // row number, lower, upper, c0..c3
// The stored rows as decimal texts, one block per row.
extern const DataBlock kSegmentBlocks[kSegmentRows];

// One row as numbers: la = c0 + c1*t + c2*t^2 + c3*t^3 for lower <= t <= upper.
struct SegmentRow {
    double lower;
    double upper;
    double c0;
    double c1;
    double c2;
    double c3;
};
using SegmentTable = std::array<SegmentRow, kSegmentRows>;

// The rows as the data stream reads them from the stored texts (the row
// number is read and dropped). Converted once, at the first call; safe from
// any thread.
const SegmentTable& SegmentRows();

// The wavelength in nm for t, rounded down to three decimals. The rows are
// scanned from the first; the first whose bounds hold t wins, so a t on a
// shared bound belongs to the lower row. A t that no row holds (the white
// point, or not a number) gives a quiet NaN. Pure: any thread.
double WavelengthForT(double t);

}  // namespace calc
