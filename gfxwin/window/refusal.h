// Why a window driver did not start. A driver, its window host or the window
// layer under it says so with RefuseStart; the driver choice reads the reason
// after the driver's tries (driver_list.h).
#pragma once

#include <string>

namespace gfxwin {

// Records why a driver cannot start: a short German text, ASCII only,
// formatted as by printf; the last one said during a driver's tries counts.
// Any thread. Returns false, so that a failing step can
// `return RefuseStart(...)`.
bool RefuseStart(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same for a driver that is not meant to start here (no display named, a
// driver for other screens): when no driver starts, the driver choice says
// nothing of such a reason.
bool DeclineStart(const char* reason);

// Forgets the recorded reason (before a driver is tried).
void ClearRefusal();
// The recorded reason, empty when none was said.
std::string RefusalText();
// True when the recorded reason came from DeclineStart.
bool RefusalIsQuiet();

}  // namespace gfxwin
