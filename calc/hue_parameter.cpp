#include "calc/hue_parameter.h"

namespace calc {

// Every expression keeps its written order: the last bits of t decide which
// segment is used and where the result is rounded down.
double HueParameter(HueState& s, PassSink onPass) {
    for (;;) {
        s.z = ThirdCoordinate(s.x, s.y);
        if (onPass != nullptr) onPass(s.x, s.y, s.z);
        // Three independent minimum tests; a later one that holds wins.
        if (s.y >= s.x && s.z >= s.x) {
            s.b = (s.y - s.z) / (1.0 - 3.0 * s.x);
            s.t = 16.0 - 5.0 * s.b;
        }
        if (s.x >= s.y && s.z >= s.y) {
            s.b = (s.z - s.x) / (1.0 - 3.0 * s.y);
            s.t = 26.0 - 5.0 * s.b;
        }
        if (s.y >= s.z && s.x >= s.z) {
            s.b = (s.x - s.y) / (1.0 - 3.0 * s.z);
            s.t = 6.0 - 5.0 * s.b;
        }
        if (s.passFlag == -1) return s.t;
        if (s.t >= kSpectralLow && kSpectralHigh >= s.t) return s.t;
        // Purple: reflect through the white point and go once more.
        s.x = (2.0 - 3.0 * s.x) / 3.0;
        s.y = (2.0 - 3.0 * s.y) / 3.0;
        s.passFlag = -1;
    }
}

}  // namespace calc
