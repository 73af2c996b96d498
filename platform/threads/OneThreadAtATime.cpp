#include "platform/threads/OneThreadAtATime.h"

#include <cstdio>
#include <cstdlib>

namespace zo::threads {

bool OneThreadAtATime::Enter() {
    const std::thread::id me = std::this_thread::get_id();
    std::thread::id nobody;
    if (m_owner.compare_exchange_strong(nobody, me, std::memory_order_acquire)) {
        m_depth = 1;
        return true;
    }
    if (nobody == me) {
        ++m_depth;
        return true;
    }
    return false;
}

void OneThreadAtATime::Leave() {
    if (--m_depth == 0) {
        m_owner.store(std::thread::id(), std::memory_order_release);
    }
}

#ifndef NDEBUG
OneThreadScope::OneThreadScope(OneThreadAtATime& check, const char* what) : m_check(check) {
    if (!m_check.Enter()) {
        std::fprintf(stderr, "%s is used by two threads at once\n", what);
        std::abort();
    }
}

OneThreadScope::~OneThreadScope() {
    m_check.Leave();
}
#endif

}  // namespace zo::threads
