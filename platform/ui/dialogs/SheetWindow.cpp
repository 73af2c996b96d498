#include "platform/ui/dialogs/SheetWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include "platform/ui/dialogs/PropertySheet.h"

namespace zo::ui {

SheetWindow::SheetWindow(PropertySheet* owner, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint),
      m_owner(owner) {}

void SheetWindow::WatchTabKeys() {
    qApp->installEventFilter(this);
}

bool SheetWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !m_owner) {
        return false;
    }
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != this) {
        return false;
    }
    int step = TabStep(*static_cast<QKeyEvent*>(event));
    if (step == 0) {
        return false;
    }
    m_owner->StepTab(step);
    return true;
}

void SheetWindow::reject() {
    if (m_owner) {
        m_owner->PressButton(PropertySheet::Button::Cancel);
    }
}

int SheetWindow::TabStep(const QKeyEvent& key) {
    Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier) {
        switch (key.key()) {
            case Qt::Key_Tab:
            case Qt::Key_PageDown:
                return 1;
            case Qt::Key_PageUp:
                return -1;
            default:
                return 0;
        }
    }
    bool back = key.key() == Qt::Key_Backtab || key.key() == Qt::Key_Tab;
    return mods == (Qt::ControlModifier | Qt::ShiftModifier) && back ? -1 : 0;
}

void SheetWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && m_owner) {
        m_owner->Help();
        return;
    }
    bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && m_owner && (mods == Qt::NoModifier)) {
        // A focused push button takes Return itself; elsewhere Return is the sheet's
        // default button, and a page's own buttons never are.
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && b->isEnabled()) {
            b->click();
        } else {
            m_owner->PressDefaultButton();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void SheetWindow::paintEvent(QPaintEvent* event) {
    if (m_owner) {
        QPainter painter(this);
        if (m_owner->OnPaint(painter)) {
            return;
        }
    }
    QDialog::paintEvent(event);
}

}  // namespace zo::ui
