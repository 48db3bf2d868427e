// The segment rows as numbers are what the data stream reads from the stored
// texts, bit for bit.
#include "calc/segment_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(SegmentRows, AreWhatTheStreamYields) {
    calc::DataStream stream(&calc::kSegmentBlocks[0]);
    const calc::SegmentTable& rows = calc::SegmentRows();
    for (size_t r = 0; r < calc::kSegmentRows; ++r) {
        EXPECT_EQ(stream.ReadDouble(), static_cast<double>(r + 1));
        const calc::SegmentRow& row = rows[r];
        for (const double field : {row.lower, row.upper, row.c0, row.c1, row.c2, row.c3}) {
            EXPECT_TRUE(SameBits(field, stream.ReadDouble())) << "row " << r + 1;
        }
    }
    EXPECT_TRUE(stream.AtEnd());
}

}  // namespace
