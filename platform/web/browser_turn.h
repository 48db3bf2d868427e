// The browser's turns. In a page the program runs on the page's one thread,
// and the browser can only draw, deliver keys and run timers while the
// program waits: every sleep of the program (SleepMs, SleepOrWake) hands the
// browser its turn, and WakeWaits ends a turn early.
//
// What the layers above must do on that thread at every turn (serve a window
// that has no window thread of its own) is handed in here.
#pragma once

namespace platform {

// Runs right before and right after each of the browser's turns, on the
// program's thread; null for nothing. Returns the service it replaces.
using TurnService = void (*)();
TurnService SetTurnService(TurnService service);

// Whether the page is shown now (not a hidden tab or a minimised window).
bool PageVisible();

// Within platform/web: the turn every sleep takes. Serves the turn service,
// lets the browser run for `milliseconds` (until woken, or for a hidden page
// until it is shown), and serves it again.
void TakeTurn(int milliseconds);

}  // namespace platform
