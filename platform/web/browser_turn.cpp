// The browser's turns: a sleep is a promise that a timer or a wake resolves,
// awaited through Asyncify, so that the program's stack waits while the
// browser runs. A hidden page gets no timer: it waits until it is shown again
// or woken, and so uses no processor time while nobody looks at it. (The
// browser would stretch its timers anyway; a page that is not shown has
// nothing to show and gets no keys.)
#include "platform/web/browser_turn.h"

#include <emscripten.h>

#include "platform/interrupt_source.h"

namespace platform {

namespace {

TurnService gService = nullptr;

// clang-format off
EM_ASYNC_JS(void, BrowserTurn, (int milliseconds), {
    await new Promise((resolve) => {
        const hidden = typeof document !== "undefined" && document.hidden;
        let timer = 0;
        const shown = () => { if (!document.hidden) end(); };
        const end = () => {
            clearTimeout(timer);
            if (hidden) document.removeEventListener("visibilitychange", shown);
            Module["wlEndTurn"] = null;
            resolve();
        };
        Module["wlEndTurn"] = end;
        if (hidden) {
            document.addEventListener("visibilitychange", shown);
        } else {
            timer = setTimeout(end, Math.max(milliseconds, 0));
        }
    });
});

EM_JS(void, EndBrowserTurn, (), {
    if (Module["wlEndTurn"]) Module["wlEndTurn"]();
});

EM_JS(int, DocumentVisible, (), {
    return typeof document === "undefined" || !document.hidden;
});
// clang-format on

}  // namespace

TurnService SetTurnService(TurnService service) {
    const TurnService previous = gService;
    gService = service;
    return previous;
}

bool PageVisible() {
    return DocumentVisible() != 0;
}

void TakeTurn(int milliseconds) {
    if (gService != nullptr) gService();
    BrowserTurn(milliseconds);
    if (gService != nullptr) gService();
}

void WakeWaits() {
    EndBrowserTurn();
}

}  // namespace platform
