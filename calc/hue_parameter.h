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

// z of a pass, in the one order that gives its bits: (1 - x) - y.
inline double ThirdCoordinate(double x, double y) {
    return (1.0 - x) - y;
}

// Receives the coordinates of each pass as soon as z is known (the dialogue
// writes them to the result file).
using PassSink = void (*)(double x, double y, double z);

// Runs the passes (at most two) and returns t. The caller sets passFlag to 1.
// `onPass`, when given, gets each pass's x, y and z in order.
double HueParameter(HueState& s, PassSink onPass = nullptr);

}  // namespace calc
