// wl_exact_check: compares calc::ExactLocus with an independent computation on
// random points and prints the largest differences.
//
// usage: wl_exact_check [POINTS [SEED]]   (defaults 100000 and 1931)
//
// The independent computation does not intersect segments with the ray. In
// long double it bisects along the ray from the white point for the place where
// the point leaves the region bounded by the locus and the purple line (the
// even-odd rule over every edge), which is the boundary in that direction,
// then takes the wavelength where the nearest locus segment passes closest to
// that place. Where the locus runs back and forth beyond 699 nm, segments
// within 1e-15 of the place are one and the shortest wavelength counts, as
// in the product. If that place lies on the purple line the point is purple
// and the opposite ray gives the complementary wavelength. Bisection finds a
// boundary crossing, not necessarily the farthest, so the white points are
// those from which the locus turns one way everywhere before 699 nm (E, D65,
// A), where there is only one.
//
// Points are uniform in x from -0.05 to 0.8 and y from -0.05 to 0.9, inside the
// locus and outside it (purity above 1), from std::mt19937_64.
#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "calc/exact_wavelength.h"

namespace {

using Real = long double;

struct Point {
    Real x, y;
};

Point Vertex(size_t i) {
    const calc::Chromaticity& c = calc::kSpectralLocus[i % calc::kLocusPoints];
    return {c.x, c.y};
}

bool Inside(Point p) {
    bool inside = false;
    for (size_t i = 0; i < calc::kLocusPoints; ++i) {
        const Point a = Vertex(i), b = Vertex(i + 1);
        if ((a.y > p.y) != (b.y > p.y)) {
            const Real xc = a.x + (p.y - a.y) / (b.y - a.y) * (b.x - a.x);
            if (p.x < xc) inside = !inside;
        }
    }
    return inside;
}

// Distance from p to the edge from vertex i to vertex i + 1 (the last edge is
// the purple line), and where along it the nearest place lies (0 to 1).
Real EdgeDistance(size_t i, Point p, Real* along) {
    const Point a = Vertex(i), b = Vertex(i + 1);
    const Real ex = b.x - a.x, ey = b.y - a.y;
    Real t = ((p.x - a.x) * ex + (p.y - a.y) * ey) / (ex * ex + ey * ey);
    t = std::clamp<Real>(t, 0, 1);
    *along = t;
    return std::hypot(a.x + t * ex - p.x, a.y + t * ey - p.y);
}

struct Boundary {
    Real distance;  // from the white point
    bool purple;    // on the purple line, not on the locus
    Real nm;        // the locus wavelength there (when not purple)
};

// The boundary in direction (dx, dy) (a unit vector) from the white point.
Boundary Along(Point w, Real dx, Real dy) {
    Real inside = 0, outside = 2;  // the whole diagram lies within 2 of any inner point
    for (int k = 0; k < 80; ++k) {
        const Real mid = (inside + outside) / 2;
        (Inside({w.x + mid * dx, w.y + mid * dy}) ? inside : outside) = mid;
    }
    const Point b = {w.x + inside * dx, w.y + inside * dy};
    Real purpleAlong = 0;
    const Real purple = EdgeDistance(calc::kLocusPoints - 1, b, &purpleAlong);
    Real nearest = INFINITY, nm = NAN;
    for (size_t i = 0; i + 1 < calc::kLocusPoints; ++i) {
        Real along = 0;
        const Real d = EdgeDistance(i, b, &along);
        if (d < nearest - 1e-15L) {
            nearest = d;
            nm = calc::kLocusFirstNm + static_cast<Real>(i) + along;
        }
    }
    return {inside, purple < nearest, nm};
}

struct Reference {
    Real nm;
    bool purple;
    Real purity;
};

Reference Independent(Point w, Point p) {
    const Real dx = p.x - w.x, dy = p.y - w.y;
    const Real length = std::hypot(dx, dy);
    const Boundary forward = Along(w, dx / length, dy / length);
    if (!forward.purple) return {forward.nm, false, length / forward.distance};
    const Boundary back = Along(w, -dx / length, -dy / length);
    return {back.nm, true, length / forward.distance};
}

}  // namespace

int main(int argc, char** argv) {
    const uint64_t points = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000;
    const uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1931;
    if (argc > 3 || points == 0) {
        std::fprintf(stderr, "usage: wl_exact_check [POINTS [SEED]]\n");
        return 2;
    }
    std::printf(
        "| white | points | purple | kinds differ | max nm difference | at (x, y) | max purity "
        "difference (relative) |\n");
    std::printf("|---|---:|---:|---:|---:|---|---:|\n");
    int status = 0;
    for (const char* name : {"E", "D65", "A"}) {
        calc::Chromaticity white{};
        calc::ParseWhite(name, &white);
        const calc::ExactLocus locus(white);
        std::mt19937_64 rng(seed);
        std::uniform_real_distribution<double> ux(-0.05, 0.8), uy(-0.05, 0.9);
        uint64_t purple = 0, kindsDiffer = 0;
        double worstNm = 0, worstPurity = 0, worstX = 0, worstY = 0;
        for (uint64_t n = 0; n < points; ++n) {
            const double x = ux(rng), y = uy(rng);
            const calc::ExactResult r = locus.Evaluate(x, y);
            const Reference ref = Independent({white.x, white.y}, {x, y});
            purple += ref.purple ? 1 : 0;
            const bool refPurple = r.kind == calc::ResultKind::kComplementary;
            if (r.kind == calc::ResultKind::kNone || refPurple != ref.purple) {
                ++kindsDiffer;
                continue;
            }
            const double nm = static_cast<double>(std::fabs(r.wavelength - ref.nm));
            if (nm > worstNm) {
                worstNm = nm;
                worstX = x;
                worstY = y;
            }
            worstPurity = std::max(
                worstPurity, static_cast<double>(std::fabs(r.purity - ref.purity) / ref.purity));
        }
        std::printf("| %s | %" PRIu64 " | %" PRIu64 " | %" PRIu64
                    " | %.3g | (%.17g, %.17g) | %.3g |\n",
                    name, points, purple, kindsDiffer, worstNm, worstX, worstY, worstPurity);
        if (kindsDiffer > 0) status = 1;
    }
    return status;
}
