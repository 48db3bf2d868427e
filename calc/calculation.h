// One calculation as the dialogue makes it, for the dialogue and for batch
// mode alike: the hue parameter with at most one reflection, then the segment
// lookup and the rounding down to three decimals.
#pragma once

#include "calc/hue_parameter.h"

namespace calc {

enum class ResultKind {
    kDominant,       // the first pass gave the result
    kComplementary,  // the point was reflected through the white point
    kNone,           // no segment row holds t (white point, non-finite input); only
                     // ever after the reflection, as every t of the range has a row
};

struct Calculation {
    double x;  // the point as given
    double y;
    double z;   // (1 - x) - y of the first pass
    double t;   // the hue parameter the lookup was made with (after any reflection)
    double la;  // nm, rounded down to three decimals; NaN when kind is kNone
    ResultKind kind;
};

// `onPass` (may be null) gets the coordinates of each pass, as HueParameter
// hands them on. Touches no process-wide state (the segment rows are constant
// once converted): any thread may calculate.
Calculation Calculate(double x, double y, PassSink onPass);

}  // namespace calc
