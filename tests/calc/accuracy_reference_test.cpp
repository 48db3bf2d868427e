// The reference geometry of the accuracy tool: the locus read from the colour
// matching functions and the ray/locus wavelength it measures against.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "tools/locus_reference.h"

namespace {

const std::string kCsv = std::string(WL_SOURCE_DIR) + "/tools/data/cie1931_2deg_cmf_1nm.csv";

class LocusReference : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        locus_ = new std::vector<wlref::LocusPoint>(wlref::ReadLocus(kCsv));
    }
    static void TearDownTestSuite() {
        delete locus_;
        locus_ = nullptr;
    }
    static const std::vector<wlref::LocusPoint>& Locus() { return *locus_; }
    static const wlref::LocusPoint& At(int nm) {
        return Locus().at(static_cast<size_t>(nm - wlref::kLocusFirstNm));
    }

  private:
    static std::vector<wlref::LocusPoint>* locus_;
};

std::vector<wlref::LocusPoint>* LocusReference::locus_ = nullptr;

TEST_F(LocusReference, CoversTheRangeInOrder) {
    ASSERT_EQ(Locus().size(), 321u);
    for (size_t i = 0; i < Locus().size(); ++i) {
        EXPECT_EQ(Locus()[i].nm, wlref::kLocusFirstNm + static_cast<int>(i));
    }
}

TEST_F(LocusReference, PublishedChromaticities) {
    struct Check {
        int nm;
        double x, y;
    };
    for (const Check& c : {Check{380, 0.17411, 0.00496}, Check{520, 0.07430, 0.83380},
                           Check{700, 0.73469, 0.26531}}) {
        EXPECT_NEAR(At(c.nm).x, c.x, 5e-6) << c.nm;
        EXPECT_NEAR(At(c.nm).y, c.y, 5e-6) << c.nm;
    }
}

TEST_F(LocusReference, TurnsClockwiseExceptForTheFlatLongWaveEnd) {
    // The chromaticity stands nearly still above 690 nm; the table's last digits
    // make the step 699 -> 700 turn back by about 4.5e-8 rad.
    EXPECT_EQ(wlref::AngleReversals(Locus()), std::vector<int>{699});
    EXPECT_GT(wlref::TurnAngle(At(699), At(700)), 0.0);
    EXPECT_LT(wlref::TurnAngle(At(699), At(700)), 1e-7);
    // Violet to red, clockwise through green: between half a turn and a full one.
    const double sweep = wlref::ClockwiseSweep(Locus());
    EXPECT_GT(sweep, std::acos(-1.0));
    EXPECT_LT(sweep, 2.0 * std::acos(-1.0));
}

TEST_F(LocusReference, RayThroughTheTurnBackPrefersTheVertex) {
    // The ray through the 700 nm vertex also crosses the 698-699 segment.
    int crossings = 0;
    const std::optional<double> nm = wlref::RayWavelength(Locus(), At(700).x - wlref::kWhiteX,
                                                          At(700).y - wlref::kWhiteY, &crossings);
    ASSERT_TRUE(nm.has_value());
    EXPECT_EQ(*nm, 700.0);
    EXPECT_EQ(crossings, 2);
}

TEST_F(LocusReference, OrdinaryRayCrossesOnce) {
    int crossings = 0;
    const std::optional<wlref::Reference> ref =
        wlref::DominantReference(Locus(), 0.2, 0.5, &crossings);
    ASSERT_TRUE(ref.has_value());
    EXPECT_FALSE(ref->purple);
    EXPECT_EQ(crossings, 1);
    EXPECT_GT(ref->nm, 500.0);
    EXPECT_LT(ref->nm, 520.0);
}

TEST_F(LocusReference, EveryVertexGivesItsOwnWavelengthExactly) {
    for (const wlref::LocusPoint& p : Locus()) {
        const std::optional<wlref::Reference> ref = wlref::DominantReference(Locus(), p.x, p.y);
        ASSERT_TRUE(ref.has_value()) << p.nm;
        EXPECT_FALSE(ref->purple) << p.nm;
        EXPECT_EQ(ref->nm, static_cast<double>(p.nm));
    }
}

TEST_F(LocusReference, PointsBetweenWhiteAndThe520nmVertexGive520) {
    const wlref::LocusPoint& g = At(520);
    for (double f : {0.05, 0.3, 0.5, 0.9, 0.999}) {
        const double x = wlref::kWhiteX + f * (g.x - wlref::kWhiteX);
        const double y = wlref::kWhiteY + f * (g.y - wlref::kWhiteY);
        const std::optional<wlref::Reference> ref = wlref::DominantReference(Locus(), x, y);
        ASSERT_TRUE(ref.has_value()) << f;
        EXPECT_FALSE(ref->purple) << f;
        EXPECT_NEAR(ref->nm, 520.0, 1e-9) << f;
    }
}

TEST_F(LocusReference, MidpointOfASegmentInterpolatesLinearly) {
    // Halfway along the 600–601 nm segment, pushed slightly outward along the ray
    // from the white point: the ray still crosses the segment at its middle.
    const wlref::LocusPoint& a = At(600);
    const wlref::LocusPoint& b = At(601);
    const double mx = 0.5 * (a.x + b.x), my = 0.5 * (a.y + b.y);
    const std::optional<wlref::Reference> ref =
        wlref::DominantReference(Locus(), wlref::kWhiteX + 0.7 * (mx - wlref::kWhiteX),
                                 wlref::kWhiteY + 0.7 * (my - wlref::kWhiteY));
    ASSERT_TRUE(ref.has_value());
    EXPECT_FALSE(ref->purple);
    EXPECT_NEAR(ref->nm, 600.5, 1e-9);
}

TEST_F(LocusReference, PurpleComplementEqualsTheWavelengthOfTheReflection) {
    // Points on the far side of the purple line's middle, between it and the white point.
    const wlref::LocusPoint& v = At(380);
    const wlref::LocusPoint& r = At(700);
    int checked = 0;
    for (double along : {0.1, 0.5, 0.9}) {
        for (double toward : {0.2, 0.6, 0.95}) {
            const double px = v.x + along * (r.x - v.x);
            const double py = v.y + along * (r.y - v.y);
            const double x = px + (1.0 - toward) * (wlref::kWhiteX - px);
            const double y = py + (1.0 - toward) * (wlref::kWhiteY - py);
            const std::optional<wlref::Reference> ref = wlref::DominantReference(Locus(), x, y);
            ASSERT_TRUE(ref.has_value());
            EXPECT_TRUE(ref->purple) << x << ", " << y;
            const std::optional<wlref::Reference> reflected =
                wlref::DominantReference(Locus(), 2.0 / 3.0 - x, 2.0 / 3.0 - y);
            ASSERT_TRUE(reflected.has_value());
            EXPECT_FALSE(reflected->purple);
            EXPECT_NEAR(ref->nm, reflected->nm, 1e-9);
            // Complements of purples lie in the green part of the locus.
            EXPECT_GT(ref->nm, 480.0);
            EXPECT_LT(ref->nm, 580.0);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 9);
}

TEST_F(LocusReference, RegionHoldsWhiteAndExcludesOutsidePoints) {
    EXPECT_TRUE(wlref::InsideLocus(Locus(), wlref::kWhiteX, wlref::kWhiteY));
    EXPECT_TRUE(wlref::InsideLocus(Locus(), 0.45, 0.2));   // purple, inside the purple line
    EXPECT_FALSE(wlref::InsideLocus(Locus(), 0.45, 0.1));  // below the purple line
    EXPECT_FALSE(wlref::InsideLocus(Locus(), 0.02, 0.3));  // left of the locus
    EXPECT_FALSE(wlref::InsideLocus(Locus(), 0.5, 0.6));   // above the long-wave locus
}

TEST_F(LocusReference, WhitePointHasNoReference) {
    EXPECT_FALSE(wlref::DominantReference(Locus(), wlref::kWhiteX, wlref::kWhiteY).has_value());
}

TEST(LocusReferenceFile, MissingWavelengthIsRejected) {
    testsupport::TempDir dir;
    const std::string path = dir.File("short.csv");
    {
        std::ofstream out(path);
        out << "nm,xbar,ybar,zbar\n";
        for (int nm = 380; nm <= 700; ++nm) {
            if (nm != 555) out << nm << ",0.1,0.2,0.3\n";
        }
    }
    EXPECT_THROW(wlref::ReadLocus(path), std::runtime_error);
}

}  // namespace
