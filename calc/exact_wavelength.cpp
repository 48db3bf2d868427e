#include "calc/exact_wavelength.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "textio/text_to_number.h"

namespace calc {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Hits whose distances from the white point agree to this share are one point
// (rounding apart); genuinely different hits of this locus lie much farther
// apart.
constexpr double kSamePoint = 1e-12;

// Clusters are scanned for rays this close to their pseudo-angle range, which
// covers the rounding of the pseudo-angles many times over.
constexpr double kAngleMargin = 1e-9;

// A monotone stand-in for the clockwise angle of (dx, dy) from the +x axis, in
// [0, 4): a quarter turn is 1, and opposite directions differ by exactly 2.
double PseudoAngle(double dx, double dy) {
    const double y = -dy;  // clockwise
    if (y >= 0.0) return dx >= 0.0 ? y / (dx + y) : 1.0 - dx / (y - dx);
    return dx < 0.0 ? 2.0 - y / (-dx - y) : 3.0 + dx / (dx - y);
}

// `angle` measured from `origin`, in [0, 4).
double FromOrigin(double angle, double origin) {
    const double r = angle - origin;
    return r < 0.0 ? r + 4.0 : r;
}

// `angle` measured from `origin`, in (-2, 2].
double AroundOrigin(double angle, double origin) {
    const double r = angle - origin;
    if (r > 2.0) return r - 4.0;
    if (r <= -2.0) return r + 4.0;
    return r;
}

double Cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

}  // namespace

const NamedWhite kNamedWhites[5] = {
    // Equal energy, by definition.
    {"E", kWhiteE},
    // CIE 15:2004, Colorimetry (3rd edition): the illuminants' chromaticity
    // coordinates for the CIE 1931 standard colorimetric observer.
    {"D65", {0.31271, 0.32902}},
    {"D50", {0.34567, 0.35850}},
    {"A", {0.44757, 0.40745}},
    {"C", {0.31006, 0.31616}},
};

struct ExactLocus::Hit {
    bool found = false;
    double distance = 0.0;  // along the ray, in units of its direction vector
    double nm = kNaN;
    bool onSample = false;

    void Offer(double s, double wavelength, bool sample) {
        const bool farther = !found || s > distance * (1.0 + kSamePoint);
        const bool samePoint = !farther && s >= distance * (1.0 - kSamePoint);
        const bool better = samePoint && (sample != onSample ? sample : wavelength < nm);
        if (!farther && !better) return;
        found = true;
        distance = farther ? s : std::max(s, distance);
        nm = wavelength;
        onSample = sample;
    }
};

ExactLocus::ExactLocus(Chromaticity white) : white_(white) {
    for (size_t i = 0; i < kLocusPoints; ++i) {
        toSample_[i] = {kSpectralLocus[i].x - white.x, kSpectralLocus[i].y - white.y};
    }
    auto angleOf = [this](size_t i) { return PseudoAngle(toSample_[i].x, toSample_[i].y); };
    auto clockwise = [this](size_t i) {
        const Chromaticity a = toSample_[i], b = toSample_[i + 1];
        return Cross(a.x, a.y, b.x, b.y) < 0.0;
    };

    // The fan: the longest run of clockwise steps whose angle from its first
    // sample keeps growing (less than a full turn).
    size_t fanLast = 0;
    for (size_t start = 0; start + 1 < kLocusPoints;) {
        const double origin = angleOf(start);
        double previous = 0.0;
        size_t end = start;
        while (end + 1 < kLocusPoints && clockwise(end)) {
            const double r = FromOrigin(angleOf(end + 1), origin);
            if (!(r > previous)) break;
            previous = r;
            ++end;
        }
        if (end - start > fanLast - fanOrigin_) {
            fanOrigin_ = start;
            fanLast = end;
        }
        start = end > start ? end : start + 1;
    }
    originAngle_ = angleOf(fanOrigin_);
    for (size_t i = fanOrigin_; i <= fanLast; ++i) {
        fanAngle_.push_back(FromOrigin(angleOf(i), originAngle_));
    }

    // The segments before and after the fan, each with the range of its
    // sample directions around its first sample's.
    auto addCluster = [&](size_t first, size_t last) {
        if (first >= last) return;
        const double origin = angleOf(first);
        double low = 0.0, high = 0.0;
        for (size_t i = first; i <= last; ++i) {
            const double r = AroundOrigin(angleOf(i), origin);
            low = std::min(low, r);
            high = std::max(high, r);
        }
        // Half a turn or more: the range no longer bounds the segments' own
        // angles, so the cluster is scanned for every ray.
        if (high - low >= 2.0) {
            low = -2.0;
            high = 2.0;
        }
        clusters_.push_back({first, last, origin, low - kAngleMargin, high + kAngleMargin});
    };
    addCluster(0, fanOrigin_);
    addCluster(fanLast, kLocusPoints - 1);
}

// Where the ray from the white point in direction (dx, dy) meets the segment
// from a to b (both relative to the white point): at a + u (b - a), which is
// s (dx, dy). `onSample`: the ray passes through a or b exactly (u is then 0
// or 1 exactly). False when the ray misses the segment or runs along it.
bool SegmentHit(double dx, double dy, Chromaticity a, Chromaticity b, double* s, double* u,
                bool* onSample) {
    const double ca = Cross(dx, dy, a.x, a.y);
    const double cb = Cross(dx, dy, b.x, b.y);
    if ((ca > 0.0 && cb > 0.0) || (ca < 0.0 && cb < 0.0) || (ca == 0.0 && cb == 0.0)) {
        return false;
    }
    Chromaticity h;
    if (ca == 0.0) {
        *u = 0.0;
        h = a;
    } else if (cb == 0.0) {
        *u = 1.0;
        h = b;
    } else {
        *u = ca / (ca - cb);
        h = {a.x + *u * (b.x - a.x), a.y + *u * (b.y - a.y)};
    }
    *onSample = ca == 0.0 || cb == 0.0;
    *s = std::fabs(dx) >= std::fabs(dy) ? h.x / dx : h.y / dy;
    return *s > 0.0;  // not behind the white point
}

void ExactLocus::TrySegment(size_t i, double dx, double dy, Hit* best) const {
    double s, u;
    bool onSample;
    if (SegmentHit(dx, dy, toSample_[i], toSample_[i + 1], &s, &u, &onSample)) {
        best->Offer(s, static_cast<double>(kLocusFirstNm + static_cast<int>(i)) + u, onSample);
    }
}

void ExactLocus::LocusHit(double dx, double dy, Hit* best) const {
    const double angle = PseudoAngle(dx, dy);
    const double r = FromOrigin(angle, originAngle_);
    const size_t segments = fanAngle_.size() - 1;
    if (segments > 0) {
        const size_t last = segments - 1;
        if (r <= fanAngle_.back()) {
            // The segment whose end directions bracket the ray, and its
            // neighbours for the rounding of the pseudo-angles.
            const auto above = std::upper_bound(fanAngle_.begin(), fanAngle_.end(), r);
            const size_t k = std::min(static_cast<size_t>(above - fanAngle_.begin()) - 1, last);
            for (size_t j = k > 0 ? k - 1 : 0; j <= std::min(k + 1, last); ++j) {
                TrySegment(fanOrigin_ + j, dx, dy, best);
            }
        } else {
            // Outside the fan: only its end segments can be met, by rounding.
            TrySegment(fanOrigin_, dx, dy, best);
            TrySegment(fanOrigin_ + last, dx, dy, best);
        }
    }
    for (const Cluster& c : clusters_) {
        const double around = AroundOrigin(angle, c.origin);
        if (around < c.low || around > c.high) continue;
        for (size_t i = c.first; i < c.last; ++i) TrySegment(i, dx, dy, best);
    }
}

ExactResult ExactLocus::Evaluate(double x, double y) const {
    if (!std::isfinite(x) || !std::isfinite(y)) return {kNaN, ResultKind::kNone, kNaN};
    double dx = x - white_.x;
    double dy = y - white_.y;
    if (dx == 0.0 && dy == 0.0) return {kNaN, ResultKind::kNone, 0.0};
    // The same direction with its larger component in [1, 2): no product
    // below over- or underflows. The point lies 2^e direction vectors from the
    // white point, so the purity is 2^e over the boundary's distance.
    const int e = std::ilogb(std::max(std::fabs(dx), std::fabs(dy)));
    dx = std::scalbn(dx, -e);
    dy = std::scalbn(dy, -e);
    const double pointDistance = std::scalbn(1.0, e);

    Hit locus;
    LocusHit(dx, dy, &locus);
    double purple = 0.0, u;
    bool onSample;
    const bool purpleHit =
        SegmentHit(dx, dy, toSample_[kLocusPoints - 1], toSample_[0], &purple, &u, &onSample);
    if (locus.found && !(purpleHit && purple > locus.distance * (1.0 + kSamePoint))) {
        return {locus.nm, ResultKind::kDominant, pointDistance / locus.distance};
    }
    if (!purpleHit) return {kNaN, ResultKind::kNone, kNaN};  // only for a white point outside
    Hit opposite;
    LocusHit(-dx, -dy, &opposite);
    return {opposite.nm, opposite.found ? ResultKind::kComplementary : ResultKind::kNone,
            pointDistance / purple};
}

bool InsideLocus(Chromaticity p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    bool inside = false;
    // Every edge of the closed polyline, the purple line last; even-odd rule
    // along the ray from p towards +x.
    for (size_t i = 0; i < kLocusPoints; ++i) {
        const Chromaticity a = kSpectralLocus[i];
        const Chromaticity b = kSpectralLocus[(i + 1) % kLocusPoints];
        const double ax = a.x - p.x, ay = a.y - p.y, bx = b.x - p.x, by = b.y - p.y;
        if (Cross(ax, ay, bx, by) == 0.0 && ax * bx + ay * by <= 0.0) return false;  // on it
        if ((ay > 0.0) != (by > 0.0)) {
            const double xc = ax + (0.0 - ay) / (by - ay) * (bx - ax);
            if (xc > 0.0) inside = !inside;
        }
    }
    return inside;
}

WhiteProblem ParseWhite(std::string_view text, Chromaticity* white) {
    for (const NamedWhite& named : kNamedWhites) {
        const bool same = std::equal(
            text.begin(), text.end(), named.name.begin(), named.name.end(),
            [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b; });
        if (same) {
            *white = named.white;
            return WhiteProblem::kNone;
        }
    }
    auto number = [](std::string_view part, double* value) {
        const size_t first = part.find_first_not_of(' ');
        const size_t last = part.find_last_not_of(' ');
        if (first == std::string_view::npos) return false;
        const char* end = part.data() + last + 1;
        textio::ParseStatus status;
        const char* stop = textio::ReadDecimal(part.data() + first, end, value, &status);
        return status == textio::ParseStatus::kOk && stop == end && std::isfinite(*value);
    };
    const size_t comma = text.find(',');
    Chromaticity given{};
    if (comma == std::string_view::npos || !number(text.substr(0, comma), &given.x) ||
        !number(text.substr(comma + 1), &given.y)) {
        return WhiteProblem::kMalformed;
    }
    if (!InsideLocus(given)) return WhiteProblem::kOutsideLocus;
    *white = given;
    return WhiteProblem::kNone;
}

}  // namespace calc
