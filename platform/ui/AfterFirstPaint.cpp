#include "platform/ui/AfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <utility>

namespace zo::ui {
namespace {

// Owned by the widget it watches, so it goes with it.
class FirstPaintHook : public QObject {
public:
    FirstPaintHook(QWidget* widget, std::function<void()> work)
        : QObject(widget), m_work(std::move(work)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so that the rest of the window is painted and shown first.
            QTimer::singleShot(0, watched, std::move(m_work));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

}  // namespace

void AfterFirstPaint(QWidget* widget, std::function<void()> work) {
    new FirstPaintHook(widget, std::move(work));
}

}  // namespace zo::ui
