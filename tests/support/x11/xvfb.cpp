#include "support/x11/xvfb.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "support/child_process.h"

namespace x11test {

namespace {

// Asks a child to end, gives it five seconds, then kills it; pid is -1 after.
void EndChild(pid_t& pid) {
    kill(pid, SIGTERM);
    int status = 0;
    for (int waited = 0; waited < 5000; waited += 20) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    pid = -1;
}

uint32_t ReadBig32(const std::string& data, size_t offset) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + offset);
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

int ShiftOf(uint32_t mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// One colour component of a pixel, as 8 bits: a narrower one repeats its top
// bits.
class Channel {
  public:
    explicit Channel(uint32_t mask) : mask_(mask), shift_(ShiftOf(mask)) {
        for (uint32_t m = mask >> shift_; m & 1; m >>= 1) ++bits_;
    }
    uint32_t Of(uint32_t pixel) const {
        const uint32_t v = (pixel & mask_) >> shift_;
        if (bits_ == 0 || bits_ >= 8) return v & 0xFF;
        uint32_t wide = 0;
        int filled = 0;
        for (; filled < 8; filled += bits_) wide = (wide << bits_) | v;
        return (wide >> (filled - 8)) & 0xFF;
    }

  private:
    uint32_t mask_;
    int shift_;
    int bits_ = 0;
};

}  // namespace

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) return dir + "/" + name;
    }
    return {};
}

bool HaveProgram(const std::string& name) {
    return !FindProgram(name).empty();
}

XvfbServer::~XvfbServer() {
    Stop();
}

bool XvfbServer::Start(int width, int height) {
    if (width > 0) width_ = width;
    if (height > 0) height_ = height;
    if (!HaveProgram("Xvfb")) {
        error_ = "Xvfb is not installed";
        return false;
    }
    // Xvfb picks a free display number itself and writes it to the pipe once
    // it listens, so parallel tests never race for a number.
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        error_ = "pipe failed";
        return false;
    }
    pid_ = fork();
    if (pid_ < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        error_ = "fork failed";
        return false;
    }
    if (pid_ == 0) {
        close(pipeFds[0]);
        const int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        const std::string fd = std::to_string(pipeFds[1]);
        const std::string screen =
            std::to_string(width_) + "x" + std::to_string(height_) + "x" + std::to_string(depth_);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string number;
    pollfd p{pipeFds[0], POLLIN, 0};
    for (int waited = 0; waited < 10000 && number.find('\n') == std::string::npos; waited += 50) {
        if (poll(&p, 1, 50) > 0) {
            char buffer[16];
            const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
            if (n <= 0) break;
            number.append(buffer, static_cast<size_t>(n));
        }
    }
    close(pipeFds[0]);
    if (number.find('\n') == std::string::npos) {
        error_ = "Xvfb did not report its display";
        Stop();
        return false;
    }
    display_ = ":" + number.substr(0, number.find('\n'));
    for (int waited = 0; waited < 10000; waited += 50) {
        if (Display* d = XOpenDisplay(display_.c_str())) {
            XCloseDisplay(d);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error_ = "Xvfb did not accept connections";
    Stop();
    return false;
}

void XvfbServer::Pause() {
    if (pid_ > 0) kill(pid_, SIGSTOP);
}

void XvfbServer::Resume() {
    if (pid_ > 0) kill(pid_, SIGCONT);
}

void XvfbServer::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGCONT);  // a paused server could not act on the end
    EndChild(pid_);
}

WindowManager::~WindowManager() {
    Stop();
}

bool WindowManager::Start(const std::string& display) {
    if (!HaveProgram("openbox")) {
        error_ = "openbox is not installed";
        return false;
    }
    pid_ = fork();
    if (pid_ < 0) {
        error_ = "fork failed";
        return false;
    }
    if (pid_ == 0) {
        const int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        setenv("DISPLAY", display.c_str(), 1);
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Running once its check window is named on the root window.
    Display* d = XOpenDisplay(display.c_str());
    if (d == nullptr) {
        error_ = "no connection to " + display;
        Stop();
        return false;
    }
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    bool running = false;
    for (int waited = 0; waited < 10000 && !running; waited += 50) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        running = XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, AnyPropertyType,
                                     &type, &format, &count, &after, &data) == Success &&
                  count == 1;
        if (data != nullptr) XFree(data);
        if (!running) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(d);
    if (!running) {
        error_ = "openbox did not start";
        Stop();
    }
    return running;
}

void WindowManager::Stop() {
    if (pid_ <= 0) return;
    EndChild(pid_);
}

BellCounter::BellCounter(const std::string& display) {
    int error = 0, major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
    dpy_ = XkbOpenDisplay(display.c_str(), &xkbEventBase_, &error, &major, &minor, &reason);
    if (dpy_ == nullptr) return;
    XkbSelectEvents(dpy_, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSync(dpy_, False);
}

BellCounter::~BellCounter() {
    if (dpy_ != nullptr) XCloseDisplay(dpy_);
}

int BellCounter::Count(int settleMs) {
    if (dpy_ == nullptr) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    XSync(dpy_, False);
    while (XPending(dpy_) > 0) {
        XEvent event;
        XNextEvent(dpy_, &event);
        const auto* xkb = reinterpret_cast<const XkbAnyEvent*>(&event);
        if (event.type == xkbEventBase_ && xkb->xkb_type == XkbBellNotify) ++count_;
    }
    return count_;
}

ToolResult RunTool(const std::vector<std::string>& argv, const std::string& display) {
    testsupport::ChildOptions options;
    options.environment["DISPLAY"] = display;
    options.timeoutMs = 10000;
    std::vector<std::string> resolved = argv;
    if (!resolved.empty() && resolved[0].find('/') == std::string::npos) {
        resolved[0] = FindProgram(resolved[0]);
    }
    const testsupport::ChildResult r = testsupport::RunChild(resolved, options);
    return ToolResult{r.exitStatus, r.out, r.err};
}

unsigned long FindWindow(const std::string& display, const std::string& name) {
    const ToolResult r = RunTool({"xwininfo", "-name", name}, display);
    const size_t at = r.out.find("Window id: ");
    if (r.status != 0 || at == std::string::npos) return 0;
    return std::strtoul(r.out.c_str() + at + 11, nullptr, 16);
}

bool QueryWindow(const std::string& display, unsigned long window, WindowInfo* info) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", window);
    const ToolResult r = RunTool({"xwininfo", "-id", id}, display);
    if (r.status != 0) return false;
    auto field = [&](const char* label, int* out) {
        const size_t at = r.out.find(label);
        if (at == std::string::npos) return false;
        *out = std::atoi(r.out.c_str() + at + std::strlen(label));
        return true;
    };
    return field("Absolute upper-left X:", &info->x) && field("Absolute upper-left Y:", &info->y) &&
           field("Width:", &info->width) && field("Height:", &info->height);
}

std::string WindowProperty(const std::string& display, unsigned long window,
                           const std::string& property) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", window);
    return RunTool({"xprop", "-id", id, property}, display).out;
}

bool TakeScreenshot(const std::string& display, unsigned long window, Screenshot* shot,
                    std::string* error) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", window);
    const ToolResult r = RunTool({"xwd", "-silent", "-id", id}, display);
    const std::string& d = r.out;
    if (r.status != 0 || d.size() < 100) {
        *error = "xwd failed: " + r.err;
        return false;
    }
    // The XWD header: 25 big-endian 32-bit fields, then the window name, the
    // colour table (12 bytes an entry) and the pixels.
    const uint32_t headerSize = ReadBig32(d, 0);
    const uint32_t version = ReadBig32(d, 4);
    const uint32_t format = ReadBig32(d, 8);
    const int width = static_cast<int>(ReadBig32(d, 16));
    const int height = static_cast<int>(ReadBig32(d, 20));
    const uint32_t byteOrder = ReadBig32(d, 28);
    const uint32_t bitsPerPixel = ReadBig32(d, 44);
    const uint32_t bytesPerLine = ReadBig32(d, 48);
    const uint32_t redMask = ReadBig32(d, 56), greenMask = ReadBig32(d, 60),
                   blueMask = ReadBig32(d, 64);
    const uint32_t colours = ReadBig32(d, 76);
    if (version != 7 || format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 16)) {
        *error = "unexpected XWD layout (version " + std::to_string(version) + ", bpp " +
                 std::to_string(bitsPerPixel) + ")";
        return false;
    }
    const size_t start = headerSize + static_cast<size_t>(colours) * 12;
    if (d.size() < start + static_cast<size_t>(bytesPerLine) * static_cast<size_t>(height)) {
        *error = "XWD data too short";
        return false;
    }
    shot->width = width;
    shot->height = height;
    shot->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const size_t bytes = bitsPerPixel / 8;
    const Channel red(redMask), green(greenMask), blue(blueMask);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(d.data() + start +
                                                                   y * bytesPerLine + bytes * x);
            uint32_t v = 0;
            for (size_t i = 0; i < bytes; ++i) {
                v = (v << 8) | p[byteOrder == 0 ? bytes - 1 - i : i];
            }
            shot->pixels[static_cast<size_t>(y) * width + x] =
                (red.Of(v) << 16) | (green.Of(v) << 8) | blue.Of(v);
        }
    }
    return true;
}

Screenshot Unscaled(const Screenshot& shot, int scale) {
    Screenshot small;
    small.width = shot.width / scale;
    small.height = shot.height / scale;
    small.pixels.resize(static_cast<size_t>(small.width) * static_cast<size_t>(small.height));
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            uint32_t colour = shot.At(x * scale, y * scale);
            for (int j = 0; j < scale; ++j) {
                for (int i = 0; i < scale; ++i) {
                    if (shot.At(x * scale + i, y * scale + j) != colour) colour = kMixedBlock;
                }
            }
            small.pixels[static_cast<size_t>(y) * small.width + x] = colour;
        }
    }
    return small;
}

bool SetWindowState(const std::string& display, unsigned long window,
                    const std::vector<std::string>& states) {
    Display* d = XOpenDisplay(display.c_str());
    if (d == nullptr) return false;
    std::vector<Atom> atoms;
    for (const std::string& state : states) atoms.push_back(XInternAtom(d, state.c_str(), False));
    XChangeProperty(d, window, XInternAtom(d, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(atoms.data()),
                    static_cast<int>(atoms.size()));
    XSync(d, False);
    XCloseDisplay(d);
    return true;
}

bool SendCloseRequest(const std::string& display, unsigned long window) {
    Display* d = XOpenDisplay(display.c_str());
    if (d == nullptr) return false;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(d, window, False, NoEventMask, &e);
    XSync(d, False);
    XCloseDisplay(d);
    return sent != 0;
}

bool MovePointer(const std::string& display, unsigned long window, int x, int y) {
    char id[32];
    std::snprintf(id, sizeof id, "%lu", window);
    return RunTool({"xdotool", "mousemove", "--window", id, std::to_string(x), std::to_string(y)},
                   display)
               .status == 0;
}

KeysymOnSpareKeycode::KeysymOnSpareKeycode(const std::string& display, const char* keysymName) {
    dpy_ = XOpenDisplay(display.c_str());
    const KeySym sym = XStringToKeysym(keysymName);
    if (dpy_ == nullptr || sym == NoSymbol) return;
    int low = 0, high = 0, perCode = 0;
    XDisplayKeycodes(dpy_, &low, &high);
    KeySym* map = XGetKeyboardMapping(dpy_, static_cast<KeyCode>(low), high - low + 1, &perCode);
    if (map == nullptr) return;
    for (int code = high; code >= low && keycode_ == 0; --code) {
        const KeySym* syms = map + (code - low) * perCode;
        if (std::all_of(syms, syms + perCode, [](KeySym k) { return k == NoSymbol; })) {
            keycode_ = code;
        }
    }
    XFree(map);
    if (keycode_ == 0) return;
    KeySym bound[2] = {sym, sym};
    XChangeKeyboardMapping(dpy_, keycode_, 2, bound, 1);
    XSync(dpy_, False);
}

KeysymOnSpareKeycode::~KeysymOnSpareKeycode() {
    if (dpy_ == nullptr) return;
    if (keycode_ != 0) {
        KeySym none[2] = {NoSymbol, NoSymbol};
        XChangeKeyboardMapping(dpy_, keycode_, 2, none, 1);
        XSync(dpy_, False);
    }
    XCloseDisplay(dpy_);
}

}  // namespace x11test
