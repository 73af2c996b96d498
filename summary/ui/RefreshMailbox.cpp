#include "summary/ui/RefreshMailbox.h"

#include <QMetaObject>

namespace zo::summary {

void RefreshMailbox::Post(std::shared_ptr<RefreshRequest> request) {
    {
        threads::MutexLock lock(m_mutex);
        m_waiting.push_back(std::move(request));
    }
    QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
}

void RefreshMailbox::Deliver() {
    std::shared_ptr<RefreshRequest> request;
    {
        threads::MutexLock lock(m_mutex);
        if (m_waiting.empty()) {
            return;
        }
        request = std::move(m_waiting.front());
        m_waiting.pop_front();
    }
    m_handler(request);
}

}  // namespace zo::summary
