#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace zo::test {

// Acts on the next modal dialog once its loop runs: clicks the control with that id, or
// presses a key on the dialog. Records the title of each dialog it met.
class ModalClicker {
public:
    // A push button by its control id; 0 presses Enter, -1 presses Esc.
    void Queue(int controlId) { m_queue.push_back(controlId); }

    // Arms a timer that handles the queued actions, one per modal dialog, in order.
    void Arm() {
        QTimer::singleShot(0, [this] { Poll(); });
    }

    std::vector<std::string> titles;
    int pending() const { return static_cast<int>(m_queue.size()); }

private:
    void Poll() {
        if (m_queue.empty()) {
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            QTimer::singleShot(1, [this] { Poll(); });
            return;
        }
        titles.push_back(modal->windowTitle().toStdString());
        int id = m_queue.front();
        m_queue.erase(m_queue.begin());
        if (id == 0 || id == -1) {
            QKeyEvent press(QEvent::KeyPress, id == 0 ? Qt::Key_Return : Qt::Key_Escape,
                            Qt::NoModifier);
            QApplication::sendEvent(modal, &press);
        } else if (auto* b = modal->findChild<QPushButton*>(QStringLiteral("control%1").arg(id))) {
            b->click();
        }
        if (!m_queue.empty()) {
            QTimer::singleShot(1, [this] { Poll(); });
        }
    }

    std::vector<int> m_queue;
};

}  // namespace zo::test
