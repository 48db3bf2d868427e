// The hue parameter and the segment lookup, compared as bit-exact doubles.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "calc/hue_parameter.h"
#include "calc/segment_table.h"
#include "textio/text_to_number.h"

namespace {

uint64_t Bits(double d) {
    return std::bit_cast<uint64_t>(d);
}

#define EXPECT_SAME_DOUBLE(actual, expected) \
    EXPECT_EQ(Bits(actual), Bits(expected)) << (actual) << " vs " << (expected)

double Hue(double x, double y, calc::HueState* out = nullptr) {
    calc::HueState s{};
    s.x = x;
    s.y = y;
    s.passFlag = 1;
    const double t = calc::HueParameter(s);
    if (out != nullptr) *out = s;
    return t;
}

struct Worked {
    double x, y, t, la;
};

// x, y, t, la. The second one's cubic gives 519.99998, which rounds down.
const Worked kWorked[] = {
    {0.3127, 0.329, 18.36672051696284, 488.997},
    {0.0743, 0.8338, 11.226483078110924, 519.999},
    {0.64, 0.33, 4.296703296703297, 611.405},
    {0.3, 0.6, 8.142857142857142, 547.924},
    {0.15, 0.06, 22.097560975609756, 464.715},
    {0.4, 0.2, 11.000000000000007, 521.152},
    {0.6, 0.2, 16.0, 498.21},
};

TEST(HueParameter, WorkedValues) {
    for (const Worked& w : kWorked) {
        EXPECT_SAME_DOUBLE(Hue(w.x, w.y), w.t);
    }
}

TEST(HueParameter, LaterTestWinsWhenTwoHold) {
    // x = y < z: the tests for x and for y as the least hold; y's, the later,
    // wins.
    EXPECT_SAME_DOUBLE(Hue(0.3, 0.3), 21.000000000000007);
    // y = z < x: the tests for y and for z hold; z's wins with
    // 0.9999999999999991, which is purple, so the reflected pass gives 16.
    calc::HueState s{};
    EXPECT_SAME_DOUBLE(Hue(0.6, 0.2, &s), 16.0);
    EXPECT_EQ(s.passFlag, -1);
}

TEST(HueParameter, PurpleInputIsReflectedOnce) {
    calc::HueState s{};
    EXPECT_SAME_DOUBLE(Hue(0.4, 0.2, &s), 11.000000000000007);
    EXPECT_EQ(s.passFlag, -1);
    EXPECT_SAME_DOUBLE(s.x, 0.2666666666666666);
    EXPECT_SAME_DOUBLE(s.y, 0.4666666666666666);
    EXPECT_SAME_DOUBLE(s.z, 0.2666666666666668);
}

TEST(HueParameter, RangeEndsFallEitherSideByRoundingAlone) {
    // Just below 3.653 where z is the least: reflected.
    calc::HueState first{};
    first.x = 0.7347;
    first.y = 0.2653;
    first.z = (1.0 - first.x) - first.y;
    EXPECT_EQ(first.z, 0.0);
    const double b = (first.x - first.y) / (1.0 - 3.0 * first.z);
    EXPECT_SAME_DOUBLE(b, 0.46940000000000004);
    EXPECT_SAME_DOUBLE(6.0 - 5.0 * b, 3.6529999999999996);
    calc::HueState s{};
    Hue(0.7347, 0.2653, &s);
    EXPECT_EQ(s.passFlag, -1);
    // Just above 22.71675 where y is the least: reflected too.
    calc::HueState s2{};
    Hue(0.1741, 0.0050, &s2);
    EXPECT_EQ(s2.passFlag, -1);
}

TEST(HueParameter, WhitePointGivesMinusInfinityAfterTwoPasses) {
    // 1 - 3y rounds to 0, so the test for y as the least (the later one that
    // holds) gives 26 - 5 * (+inf); the reflection lands on the same point.
    calc::HueState s{};
    const double t = Hue(1.0 / 3.0, 1.0 / 3.0, &s);
    EXPECT_EQ(s.passFlag, -1);
    EXPECT_SAME_DOUBLE(t, -HUGE_VAL);
}

TEST(SegmentTable, WorkedWavelengths) {
    for (const Worked& w : kWorked) {
        EXPECT_SAME_DOUBLE(calc::WavelengthForT(w.t), w.la);
    }
}

TEST(SegmentTable, TheFirstRowThatHoldsTWins) {
    // 22.71574 is the upper bound of row 63 and the lower bound of row 64.
    // Row 63's cubic gives 384.997 there, row 64's would give 384.999.
    EXPECT_STREQ(calc::kSegmentBlocks[62].items[2].text, "22.71574");
    EXPECT_STREQ(calc::kSegmentBlocks[63].items[1].text, "22.71574");
    EXPECT_SAME_DOUBLE(calc::WavelengthForT(22.71574), 384.997);
    // The ends of the table belong to it.
    EXPECT_FALSE(std::isnan(calc::WavelengthForT(3.653)));
    EXPECT_FALSE(std::isnan(calc::WavelengthForT(22.71675)));
}

TEST(SegmentTable, NoMatchingRowGivesQuietNaN) {
    for (double t : {0.0, 3.6529999999999996, 22.716751269035534, 31.0, -1.0, std::nan(""),
                     HUGE_VAL, -HUGE_VAL}) {
        const double la = calc::WavelengthForT(t);
        ASSERT_TRUE(std::isnan(la)) << t;
        EXPECT_FALSE(std::signbit(la));
    }
}

TEST(SegmentTable, StoredTextsAreKeptAsListed) {
    const calc::DataBlock& row33 = calc::kSegmentBlocks[32];
    EXPECT_STREQ(row33.items[2].text, "9.187329999999999");
    EXPECT_EQ(Bits(textio::DoubleFromText(row33.items[2].text, row33.items[2].length)),
              0x40225FE9B7BF1E8Eu);
    // Rows are contiguous: each upper bound is the next lower bound, 3.653 to 22.71675.
    EXPECT_STREQ(calc::kSegmentBlocks[0].items[1].text, "3.653");
    EXPECT_STREQ(calc::kSegmentBlocks[63].items[2].text, "22.71675");
    for (size_t r = 0; r + 1 < calc::kSegmentRows; ++r) {
        EXPECT_STREQ(calc::kSegmentBlocks[r].items[2].text,
                     calc::kSegmentBlocks[r + 1].items[1].text)
            << "row " << r + 1;
        EXPECT_EQ(calc::kSegmentBlocks[r].count, 7u);
        EXPECT_EQ(calc::kSegmentBlocks[r].next, &calc::kSegmentBlocks[r + 1]);
    }
    EXPECT_EQ(calc::kSegmentBlocks[63].next, nullptr);
}

TEST(DataStream, ReadsAcrossBlocksAndYieldsZeroPastTheEnd) {
    constexpr calc::TextItem a[] = {calc::Item("1.5"), calc::Item("&H10")};
    constexpr calc::TextItem b[] = {calc::Item("2D1")};
    const calc::DataBlock second{b, 1, nullptr};
    const calc::DataBlock empty{nullptr, 0, &second};
    const calc::DataBlock first{a, 2, &empty};
    calc::DataStream stream(&first);
    EXPECT_EQ(stream.ReadDouble(), 1.5);
    EXPECT_EQ(stream.ReadDouble(), 16.0);
    EXPECT_EQ(stream.ReadDouble(), 20.0);
    EXPECT_TRUE(stream.AtEnd());
    EXPECT_EQ(stream.ReadDouble(), 0.0);
    EXPECT_EQ(stream.ReadDouble(), 0.0);
    stream.Restore();
    EXPECT_EQ(stream.ReadDouble(), 1.5);
}

}  // namespace
