#include "gfxwin/window/driver_list.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/threads.h"

#ifdef WL_HAVE_X11
#include "gfxwin/window/x11/x11_host.h"
#endif
#ifdef WL_HAVE_GDI
#include "gfxwin/window/win32/directx_host.h"
#include "gfxwin/window/win32/gdi_host.h"
#include "gfxwin/window/win32/opengl_host.h"
#endif

namespace gfxwin {

namespace {

// Ended by an empty entry. Window drivers for this platform join here.
const DriverEntry kPlatformList[] = {
#ifdef WL_HAVE_X11
    {"X11", x11::X11Driver()},
#endif
#ifdef WL_HAVE_GDI
    {"DirectX", win32::DirectXDriver()},
    {"GDI", win32::GdiDriver()},
    {"OpenGL", win32::OpenGlDriver()},
#endif
    {nullptr, nullptr},
};

// Names compare without regard to ASCII letter case.
bool SameName(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const auto ca = static_cast<unsigned char>(*a), cb = static_cast<unsigned char>(*b);
        const int la = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
        const int lb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
        if (la != lb) return false;
        if (ca == 0) return true;
    }
}

size_t CountEntries(const DriverEntry* entries) {
    size_t n = 0;
    while (entries[n].driver != nullptr) ++n;
    return n;
}

struct ListOverride {
    const DriverEntry* entries = nullptr;
    size_t count = 0;
};

ListOverride& Override() {
    static ListOverride current;
    return current;
}

// Why the driver tried last did not start. Written by the thread that found
// out (the window thread, for the window's own steps), read by StartDriver
// after the driver's exit has ended that thread.
struct Refusal {
    platform::Mutex lock;
    char reason[160] = {};
};

Refusal& LastRefusal() {
    static Refusal refusal;
    return refusal;
}

void ClearRefusal() {
    Refusal& r = LastRefusal();
    r.lock.Lock();
    r.reason[0] = '\0';
    r.lock.Unlock();
}

std::string RefusalText() {
    Refusal& r = LastRefusal();
    r.lock.Lock();
    std::string text = r.reason;
    r.lock.Unlock();
    return text;
}

struct Request {
    const char* title;
    int32_t width, height, depth, refreshRate, flags;
};

bool TryDriver(const WindowDriver* driver, const Request& request, int32_t refreshRate) {
    if (driver->init == nullptr) return true;  // nothing to start
    ClearRefusal();
    if (driver->init(request.title, request.width, request.height, request.depth, refreshRate,
                     request.flags) == 0) {
        return true;
    }
    if (driver->exit != nullptr) driver->exit();
    return false;
}

bool NamesADriver(std::span<const DriverEntry> list, const char* name) {
    for (const DriverEntry& entry : list) {
        if (entry.driver != nullptr && entry.name != nullptr && SameName(entry.name, name)) {
            return true;
        }
    }
    return false;
}

// One pass over the list; `onlyName` limits it to drivers of that name.
const WindowDriver* Pass(std::span<const DriverEntry> list, const char* onlyName,
                         const Request& request) {
    for (const DriverEntry& entry : list) {
        if (entry.driver == nullptr) continue;
        if (onlyName != nullptr && (entry.name == nullptr || !SameName(entry.name, onlyName))) {
            continue;
        }
        if (TryDriver(entry.driver, request, request.refreshRate)) return entry.driver;
        if (TryDriver(entry.driver, request, 0)) return entry.driver;
    }
    return nullptr;
}

// The one line for a name that gave no driver: its driver's reason, or the
// names there are.
void ReportUnstartedName(std::span<const DriverEntry> list, const char* name) {
    std::string line = std::string("wellenlaenge: KRGFX=") + name + ": ";
    if (NamesADriver(list, name)) {
        line += "Fenstertreiber startet nicht";
        const std::string reason = RefusalText();
        if (!reason.empty()) line += " (" + reason + ")";
    } else {
        line += "kein solcher Fenstertreiber (vorhanden: ";
        bool first = true;
        for (const DriverEntry& entry : list) {
            if (entry.driver == nullptr || entry.name == nullptr) continue;
            line += first ? "" : ", ";
            line += entry.name;
            first = false;
        }
        line += first ? "keiner)" : ")";
    }
    line += '\n';
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

std::span<const DriverEntry> PlatformDrivers() {
    const ListOverride& o = Override();
    if (o.entries != nullptr) return {o.entries, o.count};
    return {kPlatformList, CountEntries(kPlatformList)};
}

void OverrideDriverList(const DriverEntry* entries, size_t count) {
    Override() = ListOverride{entries, entries != nullptr ? count : 0};
}

bool RefuseStart(const char* format, ...) {
    Refusal& r = LastRefusal();
    r.lock.Lock();
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(r.reason, sizeof r.reason, format, arguments);
    va_end(arguments);
    r.lock.Unlock();
    return false;
}

const WindowDriver* StartDriver(const char* title, int32_t width, int32_t height, int32_t depth,
                                int32_t refreshRate, int32_t flags) {
    const char* name = std::getenv("KRGFX");
    if (name != nullptr && name[0] == '\0') name = nullptr;
    if (flags == -1 || (name != nullptr && SameName(name, "null"))) return NullDriver();

    const std::span<const DriverEntry> list = PlatformDrivers();
    Request request{title, width, height, depth, refreshRate, flags};
    for (int round = 0; round < 2; ++round) {
        if (name != nullptr) {
            if (const WindowDriver* d = Pass(list, name, request)) return d;
            if (round == 0) ReportUnstartedName(list, name);
        }
        if (const WindowDriver* d = Pass(list, nullptr, request)) return d;
        request.flags ^= kScreenFullScreen;
    }
    return nullptr;
}

}  // namespace gfxwin
