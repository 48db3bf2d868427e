#include "gfxwin/window_driver.h"

namespace gfxwin {

namespace {

void NoLock() {}

constexpr WindowDriver kNull{.name = "Null", .lock = NoLock, .unlock = NoLock};

}  // namespace

const WindowDriver* NullDriver() {
    return &kNull;
}

}  // namespace gfxwin
