#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

namespace zo::ui {

// Calls other threads hand to the user-interface thread, each waited for by its caller.
// The calls wait in a queue of our own under a mutex and only a bare wake-up goes through
// Qt's event queue, so the hand-over and the wait are plain C++ synchronisation that the
// thread checkers see (Qt's own locks are invisible to them).
class UiCallQueue : public QObject {
    Q_OBJECT

public:
    // Made on the user-interface thread before any other thread calls; null before that.
    static UiCallQueue* Instance();
    static void Create();

    // Runs `call` on the user-interface thread and returns when it has run; a failure it
    // throws is thrown here.
    void Call(const std::function<void()>& call);

private slots:
    void Deliver();

private:
    struct Pending {
        const std::function<void()>* call;
        std::exception_ptr failure;
        bool done = false;
    };

    std::mutex m_mutex;
    std::condition_variable m_done;
    std::deque<Pending*> m_waiting;
};

}  // namespace zo::ui
