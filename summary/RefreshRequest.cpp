#include "summary/RefreshRequest.h"

namespace zo::summary {

bool RefreshRequest::Begin() {
    threads::MutexLock g(m_lock);
    if (m_state != State::Waiting) {
        return false;
    }
    m_state = State::Serving;
    return true;
}

void RefreshRequest::Finish(long result) {
    {
        threads::MutexLock g(m_lock);
        m_result = result;
        m_state = State::Served;
    }
    m_served.Set();
}

bool RefreshRequest::AwaitOrAbandon(Event& stop) {
    if (Event::WaitAny(m_served, stop) == 0) {
        return true;
    }
    threads::MutexLock g(m_lock);
    if (m_state == State::Waiting) {
        m_state = State::Abandoned;
    }
    // A request being served when the stop came is left to finish on its own: the stop
    // runs on the serving thread, so it cannot be waiting for it there.
    return m_state == State::Served;
}

bool RefreshRequest::WasServed() {
    threads::MutexLock g(m_lock);
    return m_state == State::Served;
}

bool RefreshRequest::WasAbandoned() {
    threads::MutexLock g(m_lock);
    return m_state == State::Abandoned;
}

long RefreshRequest::Result() {
    threads::MutexLock g(m_lock);
    return m_result;
}

}  // namespace zo::summary
