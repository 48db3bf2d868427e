// The dominant wavelength by the CIE construction, exact on the locus
// polyline, with the excitation purity, for a choice of white point.
//
// The ray from the white point through (x, y) meets the spectral locus (the
// polyline through the 1 nm samples of calc/spectral_locus.h, 360 to 830 nm);
// the wavelength is interpolated linearly along the segment it meets. When the
// ray leaves through the purple line (the straight line joining 360 and 830
// nm) instead, the point is purple: the opposite ray gives its complementary
// wavelength. Where the ray meets the locus more than once the hit farthest
// from the white point counts. Beyond about 699 nm the locus runs back and
// forth along the line x + y = 1 by less than 5e-7, so a ray there meets it
// several times at one point: hits whose distances agree to 1e-12 are that
// one point, and of them a hit on a sample wins, else the shortest wavelength.
#pragma once

#include <string_view>
#include <vector>

#include "calc/calculation.h"
#include "calc/spectral_locus.h"

namespace calc {

struct ExactResult {
    double wavelength;  // nm, within 360..830; NaN for kNone
    // kDominant: the ray from the white point meets the locus; kComplementary:
    // it leaves through the purple line; kNone: the white point itself, or a
    // coordinate that is not finite.
    ResultKind kind;
    // Distance from the white point to the point over the distance from the
    // white point to the boundary in that direction (locus or purple line):
    // 1 on the boundary, above 1 outside. 0 at the white point, NaN for a
    // coordinate that is not finite.
    double purity;
};

// The locus as seen from one white point, prepared once for any number of
// points. Evaluate is a pure function of the point: no shared state, safe to
// call from any number of threads at once.
class ExactLocus {
  public:
    // `white` must lie inside the locus (InsideLocus); for another white
    // point the results are defined but mean nothing.
    explicit ExactLocus(Chromaticity white);

    ExactResult Evaluate(double x, double y) const;

    Chromaticity White() const { return white_; }

  private:
    struct Hit;
    // Segments off the fan (segment i joins samples i and i + 1), scanned when
    // the ray's pseudo-angle around `origin` lies within `low` to `high`.
    struct Cluster {
        size_t first;  // segments first .. last - 1
        size_t last;
        double origin;
        double low;
        double high;
    };

    // The farthest hit of the ray (dx, dy) on the locus, into *best.
    void LocusHit(double dx, double dy, Hit* best) const;
    void TrySegment(size_t i, double dx, double dy, Hit* best) const;

    Chromaticity white_;
    // Each sample's direction from the white point.
    Chromaticity toSample_[kLocusPoints];
    // The fan: the longest run of samples, from fanOrigin_ on, whose directions
    // turn clockwise with a growing pseudo-angle from the first one
    // (fanAngle_); a ray's segment there is found by bisection over it.
    size_t fanOrigin_ = 0;
    double originAngle_ = 0.0;
    std::vector<double> fanAngle_;
    std::vector<Cluster> clusters_;  // before and after the fan
};

// The named white points for the 2-degree observer.
struct NamedWhite {
    std::string_view name;
    Chromaticity white;
};
extern const NamedWhite kNamedWhites[5];  // E, D65, D50, A, C

// The equal-energy white E (1/3, 1/3), the white point of the table's value.
inline constexpr Chromaticity kWhiteE = {1.0 / 3.0, 1.0 / 3.0};

// True when (x, y) lies inside the region bounded by the locus and the purple
// line, not on its boundary; false for coordinates that are not finite.
bool InsideLocus(Chromaticity point);

enum class WhiteProblem { kNone, kMalformed, kOutsideLocus };

// A white point named as in kNamedWhites (any letter case) or given as two
// numbers "x,y" (blanks around each allowed); it must lie inside the locus.
// `white` is set only when the result is kNone.
WhiteProblem ParseWhite(std::string_view text, Chromaticity* white);

}  // namespace calc
