#include "calc/calculation.h"

#include <cmath>

#include "calc/segment_table.h"

namespace calc {

Calculation Calculate(double x, double y, PassSink onPass) {
    HueState hue{};
    hue.x = x;
    hue.y = y;
    hue.passFlag = 1;
    Calculation result{};
    result.t = HueParameter(hue, onPass);
    result.x = x;
    result.y = y;
    result.z = ThirdCoordinate(x, y);
    result.la = WavelengthForT(result.t);
    // A row, once found, always gives a finite wavelength: NaN means none was.
    if (std::isnan(result.la)) {
        result.kind = ResultKind::kNone;
    } else {
        result.kind = hue.passFlag == -1 ? ResultKind::kComplementary : ResultKind::kDominant;
    }
    return result;
}

}  // namespace calc
