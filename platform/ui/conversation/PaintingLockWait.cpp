#include "platform/ui/conversation/PaintingLockWait.h"

#include <QApplication>
#include <QTimer>

#include "platform/ui/conversation/InputHold.h"
#include "platform/ui/conversation/UiThread.h"

namespace zo::ui {
namespace {

bool Painting() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) && OnUiThread();
}

}  // namespace

PaintingLockWait::PaintingLockWait() = default;
PaintingLockWait::~PaintingLockWait() = default;

void PaintingLockWait::Begin() {
    if (Painting()) {
        m_hold = std::make_unique<InputHold>();
    }
}

void PaintingLockWait::Pause(std::chrono::milliseconds slice) {
    if (!m_hold || !Painting()) {
        m_sleeping.Pause(slice);
        return;
    }
    // Not a nested QEventLoop: a request to quit would end it early, and each following
    // slice at once, so the wait would spin.
    QTimer end;
    end.setSingleShot(true);
    end.start(slice);
    while (end.isActive()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void PaintingLockWait::End() {
    m_hold.reset();
}

}  // namespace zo::ui
