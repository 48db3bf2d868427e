// The browser window host: the page's <canvas>, its key events, WebAudio. The
// "Web" driver (driver_entries.h) is built on it. A page has one thread: the
// window has no window thread and is served on the program's thread at every
// turn the program gives the browser.
#pragma once

#include "gfxwin/window/window_host.h"

namespace gfxwin::web {

// The host on the page's canvas (the element with the id "canvas"); null
// when the page has none (said with RefuseStart).
host::WindowHost* OpenWebHost();

}  // namespace gfxwin::web
