#include "platform/ui/conversation/InputHold.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

namespace zo::ui {
namespace {

// User-interface thread only.
int g_holds = 0;
int g_actions = 0;
std::vector<QPointer<QWidget>> g_closeLater;
bool g_carryOutPosted = false;
// A window property: the user asked to close it while it was held.
constexpr const char* kCloseHeld = "zoCloseHeld";

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
        // A control losing the focus runs its page's checks ("SPID required").
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::FocusAboutToChange:
            return true;
        default:
            return false;
    }
}

void RequestClose(QWidget* window) {
    window->setProperty(kCloseHeld, true);
    if (std::find(g_closeLater.begin(), g_closeLater.end(), window) == g_closeLater.end()) {
        g_closeLater.emplace_back(window);
    }
}

// Whether `event` asks the held `window` to close: Esc, or a click on its Close button.
bool AsksToClose(QWidget* widget, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        return key->key() == Qt::Key_Escape &&
               (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::LeftButton && widget->property(kClosesWindow).toBool() &&
               widget->rect().contains(mouse->position().toPoint());
    }
    return false;
}

}  // namespace

InputHold::InputHold() {
    ++g_holds;
    // The filter comes first: disabling a window takes the focus from its control.
    qApp->installEventFilter(this);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        m_held.push_back(Held{w, w->focusWidget(), {}});
    }
    for (Held& held : m_held) {
        QWidget* w = held.window;
        if (!w->isVisible() || !w->isEnabled() || w->property(kConversationWindow).toBool()) {
            continue;
        }
        for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow() && child->isEnabled()) {
                child->setEnabled(false);
                held.disabled.emplace_back(child);
            }
        }
    }
}

InputHold::~InputHold() {
    Release();
}

void InputHold::Release() {
    if (!m_active) {
        return;
    }
    m_active = false;
    for (const Held& held : m_held) {
        for (const QPointer<QWidget>& child : held.disabled) {
            if (child) {
                child->setEnabled(true);
            }
        }
    }
    qApp->removeEventFilter(this);
    for (const Held& held : m_held) {
        if (held.window && !held.disabled.empty() && held.focus &&
            held.window->isAncestorOf(held.focus) && held.focus->isEnabled()) {
            held.focus->setFocus(Qt::OtherFocusReason);
        }
    }
    --g_holds;
    CarryOutHeldCloses();
}

bool InputHold::IsHeld(const QWidget* window) const {
    return std::any_of(m_held.begin(), m_held.end(),
                       [window](const Held& held) { return held.window == window; });
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
        RequestClose(window);
        event->ignore();
        return true;
    }
    if (AsksToClose(widget, event)) {
        RequestClose(window);
    }
    return true;
}

ActionScope::ActionScope() {
    ++g_actions;
}

ActionScope::~ActionScope() {
    if (--g_actions == 0) {
        CarryOutHeldCloses();
    }
}

bool InUserAction() {
    return g_actions > 0;
}

int HeldCloses() {
    return static_cast<int>(g_closeLater.size());
}

bool CloseWasHeld(const QWidget* window) {
    return window && window->property(kCloseHeld).toBool();
}

void CarryOutHeldCloses() {
    if (g_closeLater.empty() || g_holds > 0 || g_actions > 0 || g_carryOutPosted || !qApp) {
        return;
    }
    g_carryOutPosted = true;
    QTimer::singleShot(0, qApp, [] {
        g_carryOutPosted = false;
        // Posted at the end of a handler, but a nested loop may run it inside another.
        if (g_holds > 0 || g_actions > 0) {
            return;
        }
        std::vector<QPointer<QWidget>> windows;
        windows.swap(g_closeLater);
        for (const QPointer<QWidget>& w : windows) {
            // A window the handler has closed itself has nothing left to close.
            if (w && w->isVisible()) {
                w->setProperty(kCloseHeld, false);
                w->close();
            }
        }
    });
}

}  // namespace zo::ui
