// The hue parameter t: a piecewise-linear hue coordinate of period 30 around
// the equal-energy white point (1/3, 1/3). Purple colours are replaced once by
// their complement, reflected through the white point.
#pragma once

#include <cstdint>

namespace calc {

constexpr double kSpectralLow = 3.653;
constexpr double kSpectralHigh = 22.71675;

struct HueState {
    double x;
    double y;
    double z;
    double b;
    double t;          // 0 before the first pass
    int64_t passFlag;  // 1 on the first pass, -1 after the reflection
};

// Runs the passes (at most two), writing one triple line per pass to the
// result file. The caller sets passFlag to 1. Returns t.
double HueParameter(HueState& s);

}  // namespace calc
