#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <memory>

#include "platform/threads/Mutex.h"
#include "summary/RefreshRequest.h"

namespace zo::summary {

// Carries the refresh worker's requests to the user-interface thread. The requests wait in
// a queue of our own under a mutex and only a bare wake-up goes through Qt's event queue,
// so nothing built on the worker is read on the user-interface thread without a lock the
// thread checkers see. Requests still waiting when the mailbox goes are dropped.
class RefreshMailbox : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(const std::shared_ptr<RefreshRequest>&)>;

    // `handler` serves each request on the user-interface thread.
    explicit RefreshMailbox(Handler handler) : m_handler(std::move(handler)) {}

    // Any thread.
    void Post(std::shared_ptr<RefreshRequest> request);

private slots:
    void Deliver();

private:
    Handler m_handler;
    threads::Mutex m_mutex;
    std::deque<std::shared_ptr<RefreshRequest>> m_waiting ZO_GUARDED_BY(m_mutex);
};

}  // namespace zo::summary
