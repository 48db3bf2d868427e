// The exact dominant wavelength and excitation purity, against values worked
// out apart from this code: exact rational arithmetic on the same locus samples
// over every segment (a few lines of Python's fractions), constructions by hand,
// and a published example.
#include "calc/exact_wavelength.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using calc::Chromaticity;
using calc::ResultKind;
using calc::ExactLocus;
using calc::ExactResult;

Chromaticity Sample(int nm) {
    return calc::kSpectralLocus[nm - calc::kLocusFirstNm];
}

TEST(ExactWavelength, SamplesGiveTheirOwnWavelengthAtPurityOne) {
    // 700 nm lies where the locus runs back and forth: the ray meets it there
    // several times at one point, and the sample wins.
    const ExactLocus locus(calc::kWhiteE);
    for (int nm : {381, 450, 520, 600, 700}) {
        const ExactResult r = locus.Evaluate(Sample(nm).x, Sample(nm).y);
        EXPECT_EQ(r.kind, ResultKind::kDominant) << nm;
        EXPECT_NEAR(r.wavelength, nm, 1e-9) << nm;
        EXPECT_NEAR(r.purity, 1.0, 1e-12) << nm;
    }
}

TEST(ExactWavelength, PublishedExample) {
    // The worked example of the colour-science package's documentation
    // (dominant_wavelength, excitation_purity): white (0.3127, 0.3290), 616 nm
    // to the nearest 1 nm sample and 509 nm for the complementary one,
    // excitation purity 0.6228856....
    const ExactLocus locus({0.3127, 0.3290});
    const ExactResult red = locus.Evaluate(0.54369557, 0.32107944);
    EXPECT_EQ(red.kind, ResultKind::kDominant);
    EXPECT_EQ(std::round(red.wavelength), 616.0);
    EXPECT_NEAR(red.purity, 0.6228856, 1e-7);
    const ExactResult purple = locus.Evaluate(0.37605506, 0.24452225);
    EXPECT_EQ(purple.kind, ResultKind::kComplementary);
    EXPECT_EQ(std::round(purple.wavelength), 509.0);
}

TEST(ExactWavelength, PurplePointGivesItsComplementaryWavelength) {
    const ExactResult r = ExactLocus(calc::kWhiteE).Evaluate(0.4, 0.2);
    EXPECT_EQ(r.kind, ResultKind::kComplementary);
    EXPECT_NEAR(r.wavelength, 521.1203913013654, 1e-9);
    EXPECT_NEAR(r.purity, 0.6452915385296751, 1e-12);  // towards the purple line
}

TEST(ExactWavelength, D65OnTheRayThroughASegmentMiddle) {
    // Half way along the 600-601 nm segment, seen from D65: 600.5 nm; the
    // point at a share f of the way there has purity f, above 1 outside.
    const Chromaticity d65 = calc::kNamedWhites[1].white;
    ASSERT_EQ(calc::kNamedWhites[1].name, "D65");
    const ExactLocus locus(d65);
    const double mx = (Sample(600).x + Sample(601).x) / 2;
    const double my = (Sample(600).y + Sample(601).y) / 2;
    for (double f : {0.5, 1.25}) {
        const ExactResult r = locus.Evaluate(d65.x + f * (mx - d65.x), d65.y + f * (my - d65.y));
        EXPECT_EQ(r.kind, ResultKind::kDominant) << f;
        EXPECT_NEAR(r.wavelength, 600.5, 1e-9) << f;
        EXPECT_NEAR(r.purity, f, 1e-12) << f;
    }
}

TEST(ExactWavelength, FarthestOfSeveralHits) {
    // Seen from a white near the purple line the short-wave end turns back:
    // this ray meets the locus at 373.87, 376.69 and 380.53 nm.
    const ExactResult r = ExactLocus({0.4, 0.12}).Evaluate(0.2863, 0.0621);
    EXPECT_EQ(r.kind, ResultKind::kDominant);
    EXPECT_NEAR(r.wavelength, 380.5271272345781, 1e-9);
    EXPECT_NEAR(r.purity, 0.5033192102817736, 1e-12);
}

TEST(ExactWavelength, WhitePointAndNonFiniteInputHaveNone) {
    const ExactLocus locus(calc::kWhiteE);
    const ExactResult white = locus.Evaluate(calc::kWhiteE.x, calc::kWhiteE.y);
    EXPECT_EQ(white.kind, ResultKind::kNone);
    EXPECT_EQ(white.purity, 0.0);
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {inf, -inf, std::nan("")}) {
        const ExactResult r = locus.Evaluate(x, 0.3);
        EXPECT_EQ(r.kind, ResultKind::kNone);
        EXPECT_TRUE(std::isnan(r.wavelength));
        EXPECT_TRUE(std::isnan(r.purity));
    }
}

TEST(WhitePoint, NamesAndNumbersAreReadAndBadOnesRejected) {
    Chromaticity white{};
    ASSERT_EQ(calc::ParseWhite("d50", &white), calc::WhiteProblem::kNone);
    EXPECT_EQ(white.x, 0.34567);
    EXPECT_EQ(white.y, 0.35850);
    ASSERT_EQ(calc::ParseWhite("0.3127, 0.329", &white), calc::WhiteProblem::kNone);
    EXPECT_EQ(white.x, 0.3127);
    EXPECT_EQ(white.y, 0.329);
    for (const char* bad :
         {"", "D66", "0.3", "0.3,", "0.3,0.3,0.3", "0.3;0.3", "nan,0.3", "0x1p-2,0.3"}) {
        EXPECT_EQ(calc::ParseWhite(bad, &white), calc::WhiteProblem::kMalformed) << bad;
    }
    // Beyond the purple line, beyond the long-wave end, and on a sample.
    for (const char* outside : {"0.4,0.1", "0.6,0.5", "0.07430242477337497,0.8338030913402279"}) {
        EXPECT_EQ(calc::ParseWhite(outside, &white), calc::WhiteProblem::kOutsideLocus) << outside;
    }
}

}  // namespace
