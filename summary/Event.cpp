#include "summary/Event.h"

#include <condition_variable>

namespace zo::summary {
namespace {

std::condition_variable& Changed() {
    static std::condition_variable c;
    return c;
}

}  // namespace

threads::Mutex& Event::Lock() {
    static threads::Mutex m;
    return m;
}

Event::Event(Kind kind, bool signalled) : m_kind(kind), m_signalled(signalled) {
    Lock();
    Changed();
}

bool Event::TakeLocked() {
    if (!m_signalled) {
        return false;
    }
    if (m_kind == Kind::AutoReset) {
        m_signalled = false;
    }
    return true;
}

void Event::Set() {
    {
        threads::MutexLock g(Lock());
        m_signalled = true;
    }
    Changed().notify_all();
}

void Event::Reset() {
    threads::MutexLock g(Lock());
    m_signalled = false;
}

void Event::Wait() {
    threads::MutexLock g(Lock());
    while (!TakeLocked()) {
        g.Wait(Changed());
    }
}

bool Event::Poll() {
    threads::MutexLock g(Lock());
    return TakeLocked();
}

int Event::WaitAny(Event& first, Event& second) {
    threads::MutexLock g(Lock());
    for (;;) {
        if (first.TakeLocked()) {
            return 0;
        }
        if (second.TakeLocked()) {
            return 1;
        }
        g.Wait(Changed());
    }
}

}  // namespace zo::summary
