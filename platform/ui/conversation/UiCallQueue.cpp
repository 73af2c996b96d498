#include "platform/ui/conversation/UiCallQueue.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace zo::ui {
namespace {
UiCallQueue* g_queue = nullptr;
}  // namespace

UiCallQueue* UiCallQueue::Instance() {
    return g_queue;
}

void UiCallQueue::Create() {
    if (!g_queue) {
        // Lives as long as the application: the application object owns it.
        g_queue = new UiCallQueue;
        g_queue->setParent(QCoreApplication::instance());
        QObject::connect(g_queue, &QObject::destroyed, [] { g_queue = nullptr; });
    }
}

void UiCallQueue::Call(const std::function<void()>& call) {
    Pending pending{&call, nullptr, false};
    {
        threads::MutexLock lock(m_mutex);
        m_waiting.push_back(&pending);
    }
    QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
    threads::MutexLock lock(m_mutex);
    while (!pending.done) {
        lock.Wait(m_done);
    }
    if (pending.failure) {
        std::rethrow_exception(pending.failure);
    }
}

void UiCallQueue::Deliver() {
    Pending* pending = nullptr;
    {
        threads::MutexLock lock(m_mutex);
        if (m_waiting.empty()) {
            return;
        }
        pending = m_waiting.front();
        m_waiting.pop_front();
    }
    std::exception_ptr failure;
    try {
        (*pending->call)();
    } catch (...) {
        failure = std::current_exception();
    }
    {
        threads::MutexLock lock(m_mutex);
        pending->failure = failure;
        pending->done = true;
    }
    m_done.notify_all();
}

}  // namespace zo::ui
