#include "textio/runtime_state.h"

namespace textio {

namespace {
RuntimeState Initial() {
    RuntimeState s{};
    s.view = TextView{-1, -1};  // not set: the whole text grid
    return s;
}
RuntimeState gState = Initial();
}  // namespace

RuntimeState& Runtime() {
    return gState;
}

void ResetRuntimeState() {
    gState = Initial();
}

FileRecord* ResolveChannel(int channel) {
    if (channel == 0) return &gState.screen;
    if (channel == -1) return &gState.files[0];
    if (channel >= 1 && channel < kFileSlots) return &gState.files[channel];
    return nullptr;
}

}  // namespace textio
