#include "textio/beep.h"

#include "textio/runtime_state.h"
#include "textio/terminal.h"

namespace textio {

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

void RemoveBeepService(BeepService service) {
    if (Installed() == service) Installed() = nullptr;
}

void Beep(int frequencyHz, int durationMs) {
    if (BeepService service = Installed()) {
        service(frequencyHz, durationMs);
    } else if (Runtime().hooks.printBytes == nullptr) {
        TerminalBell();  // no screen: the text console is the terminal
    }
}

}  // namespace textio
