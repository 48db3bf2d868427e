// Threads, the lock, the readiness signal and sleeps of the window layer.
//
// The window layer runs on several platforms whose C++ toolchains do not all
// carry the C++ thread library, so it reaches the operating system's threads
// only through these classes. Each platform folder (posix/, win32/) supplies
// the implementation; the storage here is large enough for every platform's
// native objects.
#pragma once

#include <cstddef>

namespace platform {

// A non-recursive lock. Construction cannot fail.
class Mutex {
  public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void Lock();
    // Takes the lock when it is or becomes free within `milliseconds`; false
    // (not holding it) otherwise.
    bool TryLockFor(int milliseconds);
    void Unlock();

  private:
    alignas(16) unsigned char storage_[64];
};

// A one-shot signal between a starting thread and the thread it started: the
// new thread either reports that it is ready, or ends without doing so.
class ReadySignal {
  public:
    ReadySignal();
    ~ReadySignal();
    ReadySignal(const ReadySignal&) = delete;
    ReadySignal& operator=(const ReadySignal&) = delete;

    void SignalReady();
    // Called by Thread when the thread body has returned.
    void SignalEnded();
    // Waits at most `milliseconds` until either happened; says which came first.
    enum class Outcome { kReady, kEnded, kNeither };
    Outcome WaitFor(int milliseconds);

  private:
    friend class Thread;  // may tie the signal to the thread it starts
    alignas(16) unsigned char storage_[128];
};

// A joinable thread.
class Thread {
  public:
    Thread() = default;
    ~Thread() { Join(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs body(argument) on a new thread; when the body returns, `ended` (if
    // given) is signalled. False when the thread cannot be created.
    bool Start(void (*body)(void*), void* argument, ReadySignal* ended);
    // Waits for the end of a started thread; does nothing otherwise.
    void Join();
    // Join for at most `milliseconds`: true once the thread has ended and is
    // joined (or none was started), false while it runs on.
    bool JoinFor(int milliseconds);
    bool Running() const { return started_; }

  private:
    // Unused where no thread can start (a page).
    [[maybe_unused]] alignas(16) unsigned char storage_[32] = {};
    bool started_ = false;
};

// Sleeps the calling thread.
void SleepMs(int milliseconds);

// The process CPU time (user + system) in microseconds, for measurements.
long long ProcessCpuMicros();

}  // namespace platform
