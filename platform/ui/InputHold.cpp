#include "platform/ui/InputHold.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>

namespace zo::ui {
namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::InputMethod:
        case QEvent::DragEnter:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

}  // namespace

InputHold::InputHold() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        m_held.emplace_back(w);
    }
    qApp->installEventFilter(this);
}

InputHold::~InputHold() {
    Release();
}

void InputHold::Release() {
    if (!m_active) {
        return;
    }
    m_active = false;
    qApp->removeEventFilter(this);
    for (const QPointer<QWidget>& w : m_closeLater) {
        if (w) {
            w->close();
        }
    }
    m_closeLater.clear();
}

bool InputHold::IsHeld(const QWidget* window) const {
    return std::any_of(m_held.begin(), m_held.end(),
                       [window](const QPointer<QWidget>& w) { return w == window; });
}

bool InputHold::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool input = IsUserInput(type);
    if (!input && type != QEvent::Close) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) {
        // Input reaches a window's QWindow before its widget; the widget's turn decides.
        return false;
    }
    QWidget* window = widget->window();
    if (!IsHeld(window)) {
        return false;
    }
    if (type == QEvent::Close) {
        if (!event->spontaneous() || widget != window) {
            return false;
        }
        if (std::find(m_closeLater.begin(), m_closeLater.end(), window) == m_closeLater.end()) {
            m_closeLater.emplace_back(window);
        }
        event->ignore();
        return true;
    }
    ++m_discarded;
    return true;
}

}  // namespace zo::ui
