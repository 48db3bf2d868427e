#include "gfxwin/window/driver_list.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

#include "gfxwin/window/driver_entries.h"
#include "gfxwin/window/refusal.h"
#include "textio/terminal.h"

namespace gfxwin {

namespace {

// Said when no driver starts for a reason worth telling; code page 437.
constexpr std::string_view kNoWindow = "kein Fenster, weiter im Terminal";

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

struct ListOverride {
    const WindowDriver* const* drivers = nullptr;
    size_t count = 0;
};

ListOverride& Override() {
    static ListOverride current;
    return current;
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

bool NamesADriver(std::span<const WindowDriver* const> list, const char* name) {
    for (const WindowDriver* driver : list) {
        if (SameName(driver->name, name)) return true;
    }
    return false;
}

// One pass over the list; `onlyName` limits it to drivers of that name. The
// first reason worth telling (not a quiet one) lands in `firstReason`.
const WindowDriver* Pass(std::span<const WindowDriver* const> list, const char* onlyName,
                         const Request& request, std::string* firstReason) {
    for (const WindowDriver* driver : list) {
        if (onlyName != nullptr && !SameName(driver->name, onlyName)) continue;
        if (TryDriver(driver, request, request.refreshRate)) return driver;
        if (TryDriver(driver, request, 0)) return driver;
        if (firstReason->empty() && !RefusalIsQuiet()) *firstReason = RefusalText();
    }
    return nullptr;
}

// The one line for a name that gave no driver: its driver's reason, or the
// names there are. Returns the reason it gave.
std::string ReportUnstartedName(std::span<const WindowDriver* const> list, const char* name) {
    std::string line = std::string("wellenlaenge: KRGFX=") + name + ": ";
    std::string reason;
    if (NamesADriver(list, name)) {
        line += "Fenstertreiber startet nicht";
        reason = RefusalText();
        if (!reason.empty()) line += " (" + reason + ")";
    } else {
        line += "kein solcher Fenstertreiber (vorhanden: ";
        bool first = true;
        for (const WindowDriver* driver : list) {
            line += first ? "" : ", ";
            line += driver->name;
            first = false;
        }
        line += first ? "keiner)" : ")";
    }
    line += '\n';
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return reason;
}

}  // namespace

std::span<const WindowDriver* const> PlatformDrivers() {
    const ListOverride& o = Override();
    if (o.drivers != nullptr) return {o.drivers, o.count};
    // Window drivers for this platform join here, in the order they are
    // tried. The list ends with null, so that it is never empty.
    static const WindowDriver* const kList[] = {
#ifdef WL_HAVE_X11
        x11::X11Driver(),
#endif
#ifdef WL_HAVE_GDI
        win32::DirectXDriver(),
        win32::GdiDriver(),
        win32::OpenGlDriver(),
#endif
#ifdef WL_HAVE_WEB
        web::WebDriver(),
#endif
        nullptr,
    };
    return {kList, std::size(kList) - 1};
}

void OverrideDriverList(const WindowDriver* const* drivers, size_t count) {
    Override() = ListOverride{drivers, drivers != nullptr ? count : 0};
}

const WindowDriver* StartDriver(const char* title, int32_t width, int32_t height, int32_t depth,
                                int32_t refreshRate, int32_t flags) {
    const char* name = std::getenv("KRGFX");
    if (name != nullptr && name[0] == '\0') name = nullptr;
    if (flags == kScreenNullDriver || (name != nullptr && SameName(name, "null"))) {
        return NullDriver();
    }

    const std::span<const WindowDriver* const> list = PlatformDrivers();
    Request request{title, width, height, depth, refreshRate, flags};
    std::string reason;
    std::string reported;  // what the line about KRGFX said already
    for (int round = 0; round < 2; ++round) {
        if (name != nullptr) {
            if (const WindowDriver* d = Pass(list, name, request, &reason)) return d;
            if (round == 0) reported = ReportUnstartedName(list, name);
        }
        if (const WindowDriver* d = Pass(list, nullptr, request, &reason)) return d;
        request.flags ^= kScreenFullScreen;
    }
    // A window was to be expected (a display is named, say) and none came.
    if (!reason.empty() && reason != reported) {
        textio::SayOnStandardError(std::string(kNoWindow) + " (" + reason + ")");
    }
    return nullptr;
}

}  // namespace gfxwin
