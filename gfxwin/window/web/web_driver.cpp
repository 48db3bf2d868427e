// The "Web" window driver: the window layer on the browser host. There is no
// window thread; the window is served on the program's thread before and after
// each turn the program gives the browser (every key wait, line-editor poll,
// pause and sleep), and through the poll-events slot. The lock has nothing to
// guard. The beep is the host's.
#include "gfxwin/window/driver_entries.h"
#include "gfxwin/window/refusal.h"
#include "gfxwin/window/web/web_host.h"
#include "gfxwin/window/window.h"
#include "platform/web/browser_turn.h"
#include "textio/beep.h"

namespace gfxwin::web {

namespace {

int Init(const char* title, int32_t width, int32_t height, int32_t depth, int32_t refreshRate,
         int32_t flags) {
    if (flags & kScreenOpenGL) {
        DeclineStart("OpenGL wird nicht angeboten");
        return -1;
    }
    if (!WindowStartHere(OpenWebHost, title, width, height, depth, refreshRate, flags)) return -1;
    platform::SetTurnService(ServeWindowHere);
    textio::SetBeepService(QueueBell);
    return 0;
}

void Exit() {
    platform::SetTurnService(nullptr);
    WindowStop();
    textio::RemoveBeepService(QueueBell);
}

constexpr WindowDriver kWeb = WindowHereDriver("Web", Init, Exit, FetchModes);

}  // namespace

const WindowDriver* WebDriver() {
    return &kWeb;
}

}  // namespace gfxwin::web
