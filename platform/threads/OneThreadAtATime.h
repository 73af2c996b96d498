#pragma once

#include <atomic>
#include <thread>

namespace zo::threads {

// Records which thread is inside an object that has no lock of its own, so that a second
// thread coming in meanwhile is caught rather than corrupting it. The owning thread may
// come in again (a call that makes other calls). Any thread.
class OneThreadAtATime {
public:
    // False when another thread is inside; the caller is then not counted in.
    bool Enter();
    // After an Enter that returned true, on the same thread.
    void Leave();

private:
    std::atomic<std::thread::id> m_owner{};
    int m_depth = 0;  // only the owner touches it
};

// Holds a OneThreadAtATime for a scope and aborts, naming `what`, when another thread is
// inside. Debug builds only: in optimised ones it is empty.
#ifdef NDEBUG
class OneThreadScope {
public:
    OneThreadScope(OneThreadAtATime&, const char*) {}
    ~OneThreadScope() {}  // a scope variable, not an unused one
    OneThreadScope(const OneThreadScope&) = delete;
    OneThreadScope& operator=(const OneThreadScope&) = delete;
};
#else
class OneThreadScope {
public:
    OneThreadScope(OneThreadAtATime& check, const char* what);
    ~OneThreadScope();
    OneThreadScope(const OneThreadScope&) = delete;
    OneThreadScope& operator=(const OneThreadScope&) = delete;

private:
    OneThreadAtATime& m_check;
};
#endif

}  // namespace zo::threads
