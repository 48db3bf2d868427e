#include "calc/segment_table.h"

#include <cmath>
#include <limits>

namespace calc {

DataStream& SegmentStream() {
    static DataStream stream(&kSegmentBlocks[0]);
    return stream;
}

double WavelengthForT(double t) {
    DataStream& data = SegmentStream();
    data.Restore();
    for (size_t row = 0; row < kSegmentRows; ++row) {
        data.ReadDouble();  // the row number is not used
        const double lower = data.ReadDouble();
        const double upper = data.ReadDouble();
        const double c0 = data.ReadDouble();
        const double c1 = data.ReadDouble();
        const double c2 = data.ReadDouble();
        const double c3 = data.ReadDouble();
        if (t >= lower && upper >= t) {
            double la = ((c0 + t * c1) + (t * c2) * t) + ((t * c3) * t) * t;
            la = std::floor(1000.0 * la) / 1000.0;
            return la;
        }
    }
    // No segment holds t: the scan ends after the last row instead of reading on.
    return std::numeric_limits<double>::quiet_NaN();
}

}  // namespace calc
