#include "calc/segment_table.h"

#include <cmath>
#include <limits>

namespace calc {

namespace {

SegmentTable ReadRows() {
    SegmentTable rows{};
    DataStream data(&kSegmentBlocks[0]);
    for (SegmentRow& row : rows) {
        data.ReadDouble();  // the row number is not used
        row.lower = data.ReadDouble();
        row.upper = data.ReadDouble();
        row.c0 = data.ReadDouble();
        row.c1 = data.ReadDouble();
        row.c2 = data.ReadDouble();
        row.c3 = data.ReadDouble();
    }
    return rows;
}

}  // namespace

const SegmentTable& SegmentRows() {
    static const SegmentTable rows = ReadRows();
    return rows;
}

double WavelengthForT(double t) {
    for (const SegmentRow& row : SegmentRows()) {
        if (t >= row.lower && row.upper >= t) {
            // The written order of the operations gives the result's last bits.
            const double la = ((row.c0 + t * row.c1) + (t * row.c2) * t) + ((t * row.c3) * t) * t;
            return std::floor(1000.0 * la) / 1000.0;
        }
    }
    // No segment holds t: the scan ends after the last row.
    return std::numeric_limits<double>::quiet_NaN();
}

}  // namespace calc
