#include "gfxwin/screen/drawing_state.h"

namespace gfxwin {

DrawingState& Drawing() {
    static DrawingState state{};
    return state;
}

}  // namespace gfxwin
