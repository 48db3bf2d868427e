#include "gfxwin/window/refusal.h"

#include <cstdarg>
#include <cstdio>

#include "platform/threads.h"

namespace gfxwin {

namespace {

// Written by the thread that found out (the window thread, for the window's
// own steps), read by the driver choice after the driver's exit has ended
// that thread.
struct Refusal {
    platform::Mutex lock;
    char reason[160] = {};
    bool quiet = false;
};

Refusal& LastRefusal() {
    static Refusal refusal;
    return refusal;
}

}  // namespace

bool RefuseStart(const char* format, ...) {
    Refusal& r = LastRefusal();
    r.lock.Lock();
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(r.reason, sizeof r.reason, format, arguments);
    va_end(arguments);
    r.quiet = false;
    r.lock.Unlock();
    return false;
}

bool DeclineStart(const char* reason) {
    Refusal& r = LastRefusal();
    r.lock.Lock();
    std::snprintf(r.reason, sizeof r.reason, "%s", reason);
    r.quiet = true;
    r.lock.Unlock();
    return false;
}

void ClearRefusal() {
    Refusal& r = LastRefusal();
    r.lock.Lock();
    r.reason[0] = '\0';
    r.quiet = false;
    r.lock.Unlock();
}

bool RefusalIsQuiet() {
    Refusal& r = LastRefusal();
    r.lock.Lock();
    const bool quiet = r.quiet;
    r.lock.Unlock();
    return quiet;
}

std::string RefusalText() {
    Refusal& r = LastRefusal();
    r.lock.Lock();
    std::string text = r.reason;
    r.lock.Unlock();
    return text;
}

}  // namespace gfxwin
