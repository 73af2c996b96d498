#include "platform/ui/conversation/UiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include "platform/ui/conversation/UiCallQueue.h"

namespace zo::ui {

bool OnUiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void CallOnUiThread(const std::function<void()>& call) {
    if (OnUiThread()) {
        call();
        return;
    }
    if (UiCallQueue* queue = UiCallQueue::Instance()) {
        queue->Call(call);
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), call, Qt::BlockingQueuedConnection);
}

}  // namespace zo::ui
