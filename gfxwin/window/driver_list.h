// The window drivers this platform offers, and the choice of the driver that
// starts for a new screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "gfxwin/window_driver.h"

namespace gfxwin {

// The platform's drivers in the order they are tried (without the Null driver).
std::span<const WindowDriver* const> PlatformDrivers();

// Test aid: replaces the platform list with `count` drivers until called again
// with `nullptr`.
void OverrideDriverList(const WindowDriver* const* drivers, size_t count);

// Picks and starts a driver. The name in the environment variable "KRGFX" is
// read on every call: "null" in any case (or the flag word kScreenNullDriver)
// gives the Null driver at once. Otherwise the list is tried in passes, each
// driver first with the requested refresh rate and then with 0; with a name,
// drivers of that name come first, and the whole search is repeated with the
// full-screen flag flipped. When the name is no driver of the list, or its
// driver does not start in the first pass, one German line on standard error
// says so (with the driver's reason, refusal.h) before the search goes on.
// Returns the started driver, or null when none starts.
const WindowDriver* StartDriver(const char* title, int32_t width, int32_t height, int32_t depth,
                                int32_t refreshRate, int32_t flags);

}  // namespace gfxwin
