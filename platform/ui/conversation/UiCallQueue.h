#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>

#include "platform/threads/Mutex.h"

namespace zo::ui {

// Calls other threads hand to the user-interface thread, each waited for by its caller.
// The calls wait in a queue of our own under a mutex and only a bare wake-up goes through
// Qt's event queue, so the hand-over and the wait are plain C++ synchronisation that the
// thread checkers see (Qt's own locks are invisible to them).
// A process-wide seam with one instance, reached through CallOnUiThread (UiThread.h).
// Nothing installs another: RunOffUiThread creates it before it starts the first
// conversation worker; the application object owns it and it goes with the application.
class UiCallQueue : public QObject {
    Q_OBJECT

public:
    // The queue, or null before the first conversation and after the application went.
    // Any thread: a conversation worker reads it in CallOnUiThread, safely because the
    // queue was made before that worker started.
    static UiCallQueue* Instance();
    // Makes the queue if there is none; on the user-interface thread, with the
    // application object.
    static void Create();

    // Any thread but the user-interface thread (which would wait for itself): runs `call`
    // there and returns when it has run; a failure it throws is thrown here.
    void Call(const std::function<void()>& call);

private slots:
    void Deliver();

private:
    struct Pending {
        const std::function<void()>* call;
        std::exception_ptr failure;
        bool done = false;
    };

    threads::Mutex m_mutex;
    // Signalled when a call has run; its Pending is marked done under m_mutex.
    std::condition_variable m_done;
    std::deque<Pending*> m_waiting ZO_GUARDED_BY(m_mutex);
};

}  // namespace zo::ui
