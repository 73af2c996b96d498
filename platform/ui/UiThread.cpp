#include "platform/ui/UiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

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
    QMetaObject::invokeMethod(QCoreApplication::instance(), call, Qt::BlockingQueuedConnection);
}

}  // namespace zo::ui
