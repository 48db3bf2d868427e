// Win32 threads behind the host synchronisation classes: a critical section,
// events, and threads started with _beginthreadex.
#include "platform/threads.h"

#include <process.h>
#include <windows.h>

#include <initializer_list>
#include <new>

namespace platform {

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
};

struct ThreadStart {
    void (*body)(void*);
    void* argument;
    ReadySignal* ended;
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

Mutex::Mutex() {
    InitializeCriticalSection(new (storage_) CRITICAL_SECTION);
}

Mutex::~Mutex() {
    DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}

void Mutex::Lock() {
    EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}

bool Mutex::TryLockFor(int milliseconds) {
    auto* section = reinterpret_cast<CRITICAL_SECTION*>(storage_);
    if (TryEnterCriticalSection(section)) return true;
    // A critical section has no timed wait. It is tried again after yielding
    // the processor for the first 2 ms, which serves the usual short holds at
    // once, then a millisecond apart.
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const LONGLONG spin = frequency.QuadPart / 500;
    const LONGLONG limit = frequency.QuadPart * (milliseconds > 0 ? milliseconds : 0) / 1000;
    for (;;) {
        QueryPerformanceCounter(&now);
        const LONGLONG elapsed = now.QuadPart - start.QuadPart;
        if (elapsed >= limit) return false;
        if (elapsed < spin) {
            SwitchToThread();
        } else {
            Sleep(1);
        }
        if (TryEnterCriticalSection(section)) return true;
    }
}

void Mutex::Unlock() {
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage_));
}

ReadySignal::ReadySignal() {
    new (storage_) ReadyState{CreateEventA(nullptr, FALSE, FALSE, nullptr), nullptr,
                              CreateEventA(nullptr, TRUE, FALSE, nullptr)};
}

ReadySignal::~ReadySignal() {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    for (HANDLE h : {s->ready, s->thread, s->ended}) {
        if (h != nullptr) CloseHandle(h);
    }
}

void ReadySignal::SignalReady() {
    SetEvent(reinterpret_cast<ReadyState*>(storage_)->ready);
}

void ReadySignal::SignalEnded() {
    SetEvent(reinterpret_cast<ReadyState*>(storage_)->ended);
}

ReadySignal::Outcome ReadySignal::WaitFor(int milliseconds) {
    auto* s = reinterpret_cast<ReadyState*>(storage_);
    // Whichever comes first: the ready event, or the end of the thread.
    HANDLE handles[2] = {s->ready, s->thread != nullptr ? s->thread : s->ended};
    switch (WaitForMultipleObjects(2, handles, FALSE,
                                   static_cast<DWORD>(milliseconds > 0 ? milliseconds : 0))) {
        case WAIT_OBJECT_0:
            return Outcome::kReady;
        case WAIT_OBJECT_0 + 1:
        // A wait that cannot be made (a handle missing) would fail again at
        // every call: the thread will never be seen ready, as when it ended.
        case WAIT_FAILED:
            return Outcome::kEnded;
        default:  // WAIT_TIMEOUT
            return Outcome::kNeither;
    }
}

bool Thread::Start(void (*body)(void*), void* argument, ReadySignal* ended) {
    if (started_) return false;
    auto* start = new (std::nothrow) ThreadStart{body, argument, ended};
    if (start == nullptr) return false;
    auto* state = reinterpret_cast<ThreadState*>(storage_);
    const uintptr_t handle = _beginthreadex(nullptr, 0, RunThread, start, 0, nullptr);
    if (handle == 0) {
        delete start;
        return false;
    }
    state->handle = reinterpret_cast<HANDLE>(handle);
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

void Thread::Join() {
    if (!started_) return;
    auto* state = reinterpret_cast<ThreadState*>(storage_);
    WaitForSingleObject(state->handle, INFINITE);
    CloseHandle(state->handle);
    state->handle = nullptr;
    started_ = false;
}

bool Thread::JoinFor(int milliseconds) {
    if (!started_) return true;
    auto* state = reinterpret_cast<ThreadState*>(storage_);
    if (WaitForSingleObject(state->handle,
                            static_cast<DWORD>(milliseconds > 0 ? milliseconds : 0)) !=
        WAIT_OBJECT_0) {
        return false;
    }
    CloseHandle(state->handle);
    state->handle = nullptr;
    started_ = false;
    return true;
}

void SleepMs(int milliseconds) {
    if (milliseconds <= 0) return;
    Sleep(static_cast<DWORD>(milliseconds));
}

long long ProcessCpuMicros() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10;  // 100 ns units
}

}  // namespace platform
