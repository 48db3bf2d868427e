// A window without a window system: mode 18 on the Null driver, a window
// record of the test's own shown through a FakeWindowHost, and its pointer
// state. The window is active; the test runs the passes itself.
#pragma once

#include "gfxwin/screen/screen_state.h"
#include "gfxwin/window/presentation.h"
#include "gfxwin/window/window.h"
#include "support/screen_dump.h"
#include "tests/gfxwin/window/fake_window_host.h"

namespace gfxwin::testing {

class FakeWindowTest : public NullScreenTest {
  protected:
    void SetUp() override {
        NullScreenTest::SetUp();
        ws_ = WindowState{};
        ws_.host = &host_;
        ws_.screen = CurrentScreen();
        ws_.width = 640;
        ws_.height = 480;
        ws_.active = true;
        mouse_ = MouseState{};
        mouse_.lastX = kNoPointerPosition;
    }

    // One update pass, as the window thread runs it.
    void Pass() {
        DriverLock();
        UpdatePass(ws_, mouse_);
        DriverUnlock();
    }

    FakeWindowHost host_;
    WindowState ws_{};
    MouseState mouse_{};
};

}  // namespace gfxwin::testing
