#include "gfxwin/window_driver.h"

namespace gfxwin {

namespace {

void NoLock() {}

constexpr WindowDriver kNull{
    "Null",  // name
    nullptr, nullptr, NoLock,  NoLock,  nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

}  // namespace

const WindowDriver* NullDriver() {
    return &kNull;
}

}  // namespace gfxwin
