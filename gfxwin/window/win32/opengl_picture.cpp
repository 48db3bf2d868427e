// The OpenGL picture of the Win32 window host: the extension list read
// through a hidden setup window, the window's pixel format (double-buffered
// 32-bit RGBA with a 24-bit depth buffer, through WGL_ARB_pixel_format where
// it is offered), and its context, current on the drawing thread.
#include <cstring>

#include "gfxwin/window/refusal.h"
#include "gfxwin/window/win32/opengl_host.h"
#include "gfxwin/window/win32/win32_window.h"
#include "gfxwin/window/window.h"

// After the window layer's headers: windows.h names a macro CreateWindow.
#include <GL/gl.h>
#include <GL/wglext.h>

namespace gfxwin::win32 {

namespace {

using CreateContextFn = HGLRC(WINAPI*)(HDC);
using MakeCurrentFn = BOOL(WINAPI*)(HDC, HGLRC);
using DeleteContextFn = BOOL(WINAPI*)(HGLRC);
using GetProcAddressFn = PROC(WINAPI*)(LPCSTR);

// opengl32.dll and the entry points of the WGL context, from the driver's
// start to its exit (drawing thread).
struct OpenGlLibrary {
    RuntimeLibrary library;
    CreateContextFn createContext = nullptr;
    MakeCurrentFn makeCurrent = nullptr;
    DeleteContextFn deleteContext = nullptr;
    GetProcAddressFn getProcAddress = nullptr;
};

OpenGlLibrary gGl;
OpenGlFacts gFacts{};

template <typename Fn>
Fn Extension(const char* name) {
    if (gGl.getProcAddress == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(gGl.getProcAddress(name)));
}

// True when the space-separated list names the extension.
bool Offers(const char* list, const char* name) {
    const size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n) {
        const bool starts = p == list || p[-1] == ' ';
        if (starts && (p[n] == ' ' || p[n] == '\0')) return true;
    }
    return false;
}

PIXELFORMATDESCRIPTOR WantedFormat() {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

class OpenGlHost;
OpenGlHost* gOpenHost = nullptr;  // the open window's host (drawing thread)

class OpenGlHost final : public Win32Window {
  public:
    OpenGlHost() : Win32Window(CS_DBLCLKS) { gOpenHost = this; }
    ~OpenGlHost() override {
        DestroyWindow();
        if (gOpenHost == this) gOpenHost = nullptr;
    }

    // The extension list first, from a window of its own.
    bool CreateWindow(const host::WindowRequest& request) override {
        ReadExtensions();
        return Win32Window::CreateWindow(request);
    }

    // The program draws through OpenGL: the window layer writes no picture.
    uint8_t* Picture() override { return nullptr; }
    int32_t PicturePitch() const override { return 0; }
    host::PixelFormat Format() const override { return {32, 0xFF0000, 0xFF00, 0xFF}; }
    void ShowRows(int32_t, int32_t) override {}
    bool LocksPicture() const override { return true; }
    bool LockPicture() override { return false; }
    int32_t RefreshRate() override;

    void Flip() {
        if (dc_ != nullptr) SwapBuffers(dc_);
    }

  protected:
    bool CreatePresentation() override;
    void ReleasePresentation() override;

  private:
    void ReadExtensions();
    int ChooseFormat(PIXELFORMATDESCRIPTOR* pfd);

    PFNWGLCHOOSEPIXELFORMATARBPROC choosePixelFormat_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};

// A hidden 8x8 popup gets a basic pixel format and context only to read the
// WGL extension list; then it goes.
void OpenGlHost::ReadExtensions() {
    HWND setup = CreateWindowExA(0, ClassName(), "OpenGL setup", WS_POPUP, 0, 0, 8, 8, nullptr,
                                 nullptr, Instance(), nullptr);
    if (setup == nullptr) return;
    HDC dc = GetDC(setup);
    PIXELFORMATDESCRIPTOR pfd = WantedFormat();
    const int format = dc != nullptr ? ChoosePixelFormat(dc, &pfd) : 0;
    HGLRC context = nullptr;
    if (format != 0 && SetPixelFormat(dc, format, &pfd)) context = gGl.createContext(dc);
    if (context != nullptr && gGl.makeCurrent(dc, context)) {
        const char* list = nullptr;
        if (auto arb = Extension<PFNWGLGETEXTENSIONSSTRINGARBPROC>("wglGetExtensionsStringARB")) {
            list = arb(dc);
        } else if (auto ext =
                       Extension<PFNWGLGETEXTENSIONSSTRINGEXTPROC>("wglGetExtensionsStringEXT")) {
            list = ext();
        }
        gFacts.extensionsRead = list != nullptr;
        if (list != nullptr && Offers(list, "WGL_ARB_pixel_format")) {
            choosePixelFormat_ =
                Extension<PFNWGLCHOOSEPIXELFORMATARBPROC>("wglChoosePixelFormatARB");
        }
        gGl.makeCurrent(nullptr, nullptr);
    }
    if (context != nullptr) gGl.deleteContext(context);
    if (dc != nullptr) ReleaseDC(setup, dc);
    ::DestroyWindow(setup);
}

int OpenGlHost::ChooseFormat(PIXELFORMATDESCRIPTOR* pfd) {
    *pfd = WantedFormat();
    if (choosePixelFormat_ != nullptr) {
        const int attributes[] = {WGL_DRAW_TO_WINDOW_ARB,
                                  1,
                                  WGL_SUPPORT_OPENGL_ARB,
                                  1,
                                  WGL_DOUBLE_BUFFER_ARB,
                                  1,
                                  WGL_PIXEL_TYPE_ARB,
                                  WGL_TYPE_RGBA_ARB,
                                  WGL_COLOR_BITS_ARB,
                                  32,
                                  WGL_DEPTH_BITS_ARB,
                                  24,
                                  0};
        int format = 0;
        UINT found = 0;
        if (choosePixelFormat_(dc_, attributes, nullptr, 1, &format, &found) && found > 0 &&
            DescribePixelFormat(dc_, format, sizeof *pfd, pfd) != 0) {
            gFacts.arbPixelFormat = true;
            return format;
        }
        *pfd = WantedFormat();
    }
    gFacts.arbPixelFormat = false;
    return ChoosePixelFormat(dc_, pfd);
}

// The window-init hook's OpenGL part: the pixel format and the context, made
// current on this thread.
bool OpenGlHost::CreatePresentation() {
    dc_ = GetDC(Window());
    if (dc_ == nullptr) return RefuseStart("OpenGL: kein Zeichenkontext");
    PIXELFORMATDESCRIPTOR pfd;
    const int format = ChooseFormat(&pfd);
    if (format == 0 || !SetPixelFormat(dc_, format, &pfd)) {
        return RefuseStart("OpenGL: kein passendes Pixelformat");
    }
    DescribePixelFormat(dc_, format, sizeof pfd, &pfd);
    gFacts.pixelFormat = format;
    gFacts.colourBits = pfd.cColorBits;
    gFacts.depthBits = pfd.cDepthBits;
    gFacts.doubleBuffered = (pfd.dwFlags & PFD_DOUBLEBUFFER) != 0;
    context_ = gGl.createContext(dc_);
    if (context_ == nullptr || !gGl.makeCurrent(dc_, context_)) {
        return RefuseStart("OpenGL: kein Kontext");
    }
    return true;
}

void OpenGlHost::ReleasePresentation() {
    if (context_ != nullptr) {
        gGl.makeCurrent(nullptr, nullptr);
        gGl.deleteContext(context_);
        context_ = nullptr;
    }
    if (dc_ != nullptr) ReleaseDC(Window(), dc_);
    dc_ = nullptr;
}

int32_t OpenGlHost::RefreshRate() {
    return dc_ != nullptr ? GetDeviceCaps(dc_, VREFRESH) : 0;
}

}  // namespace

bool LoadOpenGl() {
    if (!gGl.library.Load("opengl32.dll")) return RefuseStart("opengl32.dll nicht ladbar");
    gGl.createContext = gGl.library.Entry<CreateContextFn>("wglCreateContext");
    gGl.makeCurrent = gGl.library.Entry<MakeCurrentFn>("wglMakeCurrent");
    gGl.deleteContext = gGl.library.Entry<DeleteContextFn>("wglDeleteContext");
    gGl.getProcAddress = gGl.library.Entry<GetProcAddressFn>("wglGetProcAddress");
    if (gGl.createContext == nullptr || gGl.makeCurrent == nullptr ||
        gGl.deleteContext == nullptr) {
        FreeOpenGl();
        return RefuseStart("opengl32.dll unvollstaendig");
    }
    gFacts = OpenGlFacts{};
    return true;
}

void FreeOpenGl() {
    gGl.createContext = nullptr;
    gGl.makeCurrent = nullptr;
    gGl.deleteContext = nullptr;
    gGl.getProcAddress = nullptr;
    gGl.library.Free();
}

host::WindowHost* OpenOpenGlHost() {
    return new OpenGlHost();
}

void FlipOpenGl() {
    if (gOpenHost != nullptr) gOpenHost->Flip();
}

OpenGlFacts ReadOpenGlFacts() {
    return gFacts;
}

}  // namespace gfxwin::win32
