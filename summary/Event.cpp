#include "summary/Event.h"

#include <condition_variable>
#include <mutex>

namespace zo::summary {
namespace {

// All events share one lock and one condition, so that a thread can wait on several at
// once; they are few and rarely signalled.
std::mutex& Lock() {
    static std::mutex m;
    return m;
}

std::condition_variable& Changed() {
    static std::condition_variable c;
    return c;
}

}  // namespace

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
        std::lock_guard<std::mutex> g(Lock());
        m_signalled = true;
    }
    Changed().notify_all();
}

void Event::Reset() {
    std::lock_guard<std::mutex> g(Lock());
    m_signalled = false;
}

void Event::Wait() {
    std::unique_lock<std::mutex> g(Lock());
    Changed().wait(g, [this] { return TakeLocked(); });
}

bool Event::Poll() {
    std::lock_guard<std::mutex> g(Lock());
    return TakeLocked();
}

int Event::WaitAny(Event& first, Event& second) {
    std::unique_lock<std::mutex> g(Lock());
    int which = -1;
    Changed().wait(g, [&] {
        if (first.TakeLocked()) {
            which = 0;
        } else if (second.TakeLocked()) {
            which = 1;
        }
        return which >= 0;
    });
    return which;
}

}  // namespace zo::summary
