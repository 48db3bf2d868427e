// Reference geometry for the accuracy tool: the spectral locus read from a
// colour matching function table, and the exact dominant (or complementary)
// wavelength of a chromaticity with respect to the equal-energy white point.
#pragma once

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace wlref {

constexpr double kWhiteX = 1.0 / 3.0;
constexpr double kWhiteY = 1.0 / 3.0;
constexpr int kLocusFirstNm = 380;
constexpr int kLocusLastNm = 700;

struct LocusPoint {
    int nm;
    double x;
    double y;
};

// The locus vertices from kLocusFirstNm to kLocusLastNm at 1 nm steps, in
// wavelength order. The file has the columns nm,xbar,ybar,zbar and a header
// line; every wavelength of the range must be present exactly once.
inline std::vector<LocusPoint> ReadLocus(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::vector<LocusPoint> points(kLocusLastNm - kLocusFirstNm + 1, LocusPoint{0, 0.0, 0.0});
    std::vector<bool> seen(points.size(), false);
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (header) {
            header = false;
            if (line.rfind("nm,", 0) == 0) continue;
        }
        std::istringstream fields(line);
        std::string cell[4];
        for (std::string& c : cell) {
            if (!std::getline(fields, c, ',')) throw std::runtime_error("short line: " + line);
        }
        const int nm = std::stoi(cell[0]);
        if (nm < kLocusFirstNm || nm > kLocusLastNm) continue;
        const double xbar = std::stod(cell[1]);
        const double ybar = std::stod(cell[2]);
        const double zbar = std::stod(cell[3]);
        const double sum = xbar + ybar + zbar;
        if (!(sum > 0.0)) throw std::runtime_error("zero sum at " + cell[0] + " nm");
        const size_t i = static_cast<size_t>(nm - kLocusFirstNm);
        if (seen[i]) throw std::runtime_error("duplicate wavelength " + cell[0]);
        seen[i] = true;
        points[i] = LocusPoint{nm, xbar / sum, ybar / sum};
    }
    for (size_t i = 0; i < seen.size(); ++i) {
        if (!seen[i]) {
            throw std::runtime_error("missing wavelength " +
                                     std::to_string(kLocusFirstNm + static_cast<int>(i)));
        }
    }
    return points;
}

// The signed angle at the white point from vertex a to vertex b (positive
// counter-clockwise).
inline double TurnAngle(const LocusPoint& a, const LocusPoint& b) {
    const double ax = a.x - kWhiteX, ay = a.y - kWhiteY;
    const double bx = b.x - kWhiteX, by = b.y - kWhiteY;
    return std::atan2(ax * by - ay * bx, ax * bx + ay * by);
}

// Seen from the white point, the locus turns clockwise from violet through
// green to red. These are the wavelengths nm where the step to nm + 1 does not
// (it turns back or stands still); a ray through such a step may cross the
// polyline more than once.
inline std::vector<int> AngleReversals(const std::vector<LocusPoint>& locus) {
    std::vector<int> reversals;
    for (size_t i = 0; i + 1 < locus.size(); ++i) {
        if (!(TurnAngle(locus[i], locus[i + 1]) < 0.0)) reversals.push_back(locus[i].nm);
    }
    return reversals;
}

// The clockwise angle swept from the first to the last vertex, in radians.
inline double ClockwiseSweep(const std::vector<LocusPoint>& locus) {
    double sweep = 0.0;
    for (size_t i = 0; i + 1 < locus.size(); ++i) sweep -= TurnAngle(locus[i], locus[i + 1]);
    return sweep;
}

// The wavelength where the ray from the white point in direction (dx, dy)
// crosses the locus polyline, interpolated linearly between the 1 nm
// vertices; nothing when the ray misses the polyline (it leaves through the
// purple line). A ray through a vertex gives that vertex's wavelength exactly.
// Where the polyline turns back the ray may cross it more than once: a vertex
// on the ray wins, otherwise the first crossing from the short-wave end.
// *crossings, when given, receives the number of crossings found.
inline std::optional<double> RayWavelength(const std::vector<LocusPoint>& locus, double dx,
                                           double dy, int* crossings = nullptr) {
    if (crossings != nullptr) *crossings = 0;
    if (dx == 0.0 && dy == 0.0) return std::nullopt;
    // Side of the ray's line on which each vertex lies, and whether it lies ahead.
    auto side = [&](const LocusPoint& p) { return dx * (p.y - kWhiteY) - dy * (p.x - kWhiteX); };
    auto ahead = [&](double px, double py) {
        return dx * (px - kWhiteX) + dy * (py - kWhiteY) > 0.0;
    };
    std::optional<double> vertex, first;
    int count = 0;
    for (size_t i = 0; i < locus.size(); ++i) {
        const LocusPoint& a = locus[i];
        const double ca = side(a);
        if (ca == 0.0) {
            if (ahead(a.x, a.y)) {
                ++count;
                if (!vertex) vertex = static_cast<double>(a.nm);
            }
            continue;
        }
        if (i + 1 == locus.size()) break;
        const LocusPoint& b = locus[i + 1];
        const double cb = side(b);
        if (cb == 0.0 || (ca < 0.0) == (cb < 0.0)) continue;  // no strict sign change
        const double u = ca / (ca - cb);
        const double px = a.x + u * (b.x - a.x);
        const double py = a.y + u * (b.y - a.y);
        if (ahead(px, py)) {
            ++count;
            if (!first) first = static_cast<double>(a.nm) + u;
        }
    }
    if (crossings != nullptr) *crossings = count;
    return vertex ? vertex : first;
}

struct Reference {
    double nm;    // dominant wavelength, or complementary for purple points
    bool purple;  // the ray through the point leaves through the purple line
};

// The dominant wavelength of (x, y); for purple points the complementary
// wavelength (where the opposite ray crosses the locus). Nothing at the white
// point itself. *crossings as for RayWavelength, for the ray that was used.
inline std::optional<Reference> DominantReference(const std::vector<LocusPoint>& locus, double x,
                                                  double y, int* crossings = nullptr) {
    const double dx = x - kWhiteX;
    const double dy = y - kWhiteY;
    if (const std::optional<double> nm = RayWavelength(locus, dx, dy, crossings)) {
        return Reference{*nm, false};
    }
    if (const std::optional<double> nm = RayWavelength(locus, -dx, -dy, crossings)) {
        return Reference{*nm, true};
    }
    return std::nullopt;
}

// True when (x, y) lies inside the region bounded by the locus polyline and the
// purple line that closes it (even-odd rule).
inline bool InsideLocus(const std::vector<LocusPoint>& locus, double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = locus.size() - 1; i < locus.size(); j = i++) {
        const LocusPoint& a = locus[i];
        const LocusPoint& b = locus[j];
        if ((a.y > y) != (b.y > y)) {
            const double xc = a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x);
            if (x < xc) inside = !inside;
        }
    }
    return inside;
}

}  // namespace wlref
