#include "gfxwin/beep.h"

namespace gfxwin {

namespace {
BeepService& Installed() {
    static BeepService service = nullptr;
    return service;
}
}  // namespace

BeepService SetBeepService(BeepService service) {
    BeepService previous = Installed();
    Installed() = service;
    return previous;
}

void Beep(int frequencyHz, int durationMs) {
    if (BeepService service = Installed()) service(frequencyHz, durationMs);
}

}  // namespace gfxwin
