// The "OpenGL" window driver and its host: the Win32 window host
// (win32_host.h) with a WGL context on the window, for screens opened with the
// OpenGL flag, which the program draws into through OpenGL. "opengl32.dll" is
// loaded by the driver's start, so the program does not import it.
//
// The window has no window thread: it is made and served on the drawing
// thread, which runs its messages and key states through the poll-events slot
// and shows a frame through the flip slot (SwapBuffers).
#pragma once

#include "gfxwin/window/window_host.h"

namespace gfxwin::win32 {

// How the open window's pixel format was chosen, for tests.
struct OpenGlFacts {
    bool extensionsRead;  // the setup context gave the WGL extension list
    bool arbPixelFormat;  // chosen with wglChoosePixelFormatARB
    int pixelFormat;      // its number
    int colourBits, depthBits;
    bool doubleBuffered;
};
OpenGlFacts ReadOpenGlFacts();

// Within this folder (opengl_driver.cpp): the library and its entry points
// (false, said with RefuseStart, when it lacks), the host on the calling
// thread, and the flip of the open window.
bool LoadOpenGl();
void FreeOpenGl();
host::WindowHost* OpenOpenGlHost();
void FlipOpenGl();

}  // namespace gfxwin::win32
