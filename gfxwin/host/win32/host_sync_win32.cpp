// Win32 threads behind the host synchronisation classes: a critical section,
// events, and threads started with _beginthreadex.
#include <process.h>
#include <windows.h>

#include <initializer_list>
#include <new>

#include "gfxwin/host/host_sync.h"

namespace gfxwin::host {

namespace {

// The readiness signal: an auto-reset event the new thread sets when it is
// ready, and the thread itself (its handle is signalled when it ends).
struct ReadyState {
    HANDLE ready;
    HANDLE thread;  // a duplicate of the started thread's handle, or null
    HANDLE ended;   // set when the body returned (when no thread handle is known)
};

struct ThreadState {
    HANDLE handle;
    unsigned id;
};

struct ThreadStart {
    void (*body)(void*);
    void* argument;
    HostReadySignal* ended;
};

unsigned __stdcall RunThread(void* raw) {
    ThreadStart start = *static_cast<ThreadStart*>(raw);
    delete static_cast<ThreadStart*>(raw);
    start.body(start.argument);
    if (start.ended != nullptr) start.ended->SignalEnded();
    return 0;
}

}  // namespace

static_assert(sizeof(CRITICAL_SECTION) <= 64);
static_assert(sizeof(ReadyState) <= 128);
static_assert(sizeof(ThreadState) <= 32);

HostMutex::HostMutex() {
    InitializeCriticalSection(new (storage_) CRITICAL_SECTION);
}

HostMutex::~HostMutex() {
    DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}

void HostMutex::Lock() {
    EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}

void HostMutex::Unlock() {
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}

HostReadySignal::HostReadySignal() {
    new (storage_) ReadyState{CreateEventA(nullptr, FALSE, FALSE, nullptr), nullptr,
                              CreateEventA(nullptr, TRUE, FALSE, nullptr)};
}

HostReadySignal::~HostReadySignal() {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    for (HANDLE h : {s->ready, s->thread, s->ended}) {
        if (h != nullptr) CloseHandle(h);
    }
}

void HostReadySignal::SignalReady() {
    SetEvent(reinterpret_cast<ReadyState*>(storage_)->ready);
}

void HostReadySignal::SignalEnded() {
    SetEvent(reinterpret_cast<ReadyState*>(storage_)->ended);
}

bool HostReadySignal::WaitReadyOrEnded() {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    // Whichever comes first: the ready event, or the end of the thread.
    HANDLE handles[2] = {s->ready, s->thread != nullptr ? s->thread : s->ended};
    return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0;
}

HostThread::~HostThread() {
    Join();
}

bool HostThread::Start(void (*body)(void*), void* argument, HostReadySignal* ended) {
    if (started_) return false;
    auto* start = new (std::nothrow) ThreadStart{body, argument, ended};
    if (start == nullptr) return false;
    auto* state = reinterpret_cast<ThreadState*>(storage_);
    unsigned id = 0;
    const uintptr_t handle = _beginthreadex(nullptr, 0, RunThread, start, 0, &id);
    if (handle == 0) {
        delete start;
        return false;
    }
    state->handle = reinterpret_cast<HANDLE>(handle);
    state->id = id;
    if (ended != nullptr) {
        auto* signal = reinterpret_cast<ReadyState*>(ended->storage_);
        HANDLE duplicate = nullptr;
        if (DuplicateHandle(GetCurrentProcess(), state->handle, GetCurrentProcess(), &duplicate,
                            SYNCHRONIZE, FALSE, 0)) {
            signal->thread = duplicate;
        }
    }
    started_ = true;
    return true;
}

void HostThread::Join() {
    if (!started_) return;
    auto* state = reinterpret_cast<ThreadState*>(storage_);
    WaitForSingleObject(state->handle, INFINITE);
    CloseHandle(state->handle);
    state->handle = nullptr;
    started_ = false;
}

bool HostThread::IsCurrent() const {
    return started_ && reinterpret_cast<const ThreadState*>(storage_)->id == GetCurrentThreadId();
}

void HostSleep(int milliseconds) {
    if (milliseconds <= 0) return;
    Sleep(static_cast<DWORD>(milliseconds));
}

long long HostProcessCpuMicros() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10;  // 100 ns units
}

}  // namespace gfxwin::host
