#include "platform/ui/dialogs/AfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <utility>

namespace zo::ui {
namespace {

// Owned by what it watches, so it goes with it. Watching the application, it sees the
// events of every object.
class FirstPaintHook : public QObject {
public:
    FirstPaintHook(QObject* watched, std::function<void()> work)
        : QObject(watched), m_work(std::move(work)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*object*/, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_work) {
            parent()->removeEventFilter(this);
            // Queued, so that the rest of the window is painted and shown first.
            QTimer::singleShot(0, parent(), std::move(m_work));
            m_work = nullptr;
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

}  // namespace

void AfterFirstPaint(QObject* watched, std::function<void()> work) {
    new FirstPaintHook(watched, std::move(work));
}

}  // namespace zo::ui
