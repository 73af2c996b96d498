#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/threads/ThreadAnnotations.h"

namespace zo::threads {

// std::mutex as a capability the thread-safety analysis knows (the standard library's own
// carries no annotations).
class ZO_CAPABILITY("mutex") Mutex {
public:
    void lock() ZO_ACQUIRE() { m_mutex.lock(); }
    void unlock() ZO_RELEASE() { m_mutex.unlock(); }

private:
    friend class MutexLock;
    std::mutex m_mutex;
};

// Holds a Mutex for its scope; waits on a condition with it.
class ZO_SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ZO_ACQUIRE(mutex) : m_lock(mutex.m_mutex) {}
    ~MutexLock() ZO_RELEASE() {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    // Gives the mutex up while it waits and holds it again on return. The caller tests its
    // condition in a loop around this, under the lock, where the analysis sees the reads.
    void Wait(std::condition_variable& changed) { changed.wait(m_lock); }

private:
    std::unique_lock<std::mutex> m_lock;
};

}  // namespace zo::threads
