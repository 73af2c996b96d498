#pragma once

#include <QDialog>

class QKeyEvent;
class QPaintEvent;

namespace zo::ui {

class PropertySheet;

// The sheet's window: Esc and the close box act as Cancel, F1 asks for help, Return presses
// the default button, Ctrl+Tab and its friends change tabs. It outlives its sheet only as a
// window being deleted: Detach cuts it off first.
class SheetWindow : public QDialog {
public:
    SheetWindow(PropertySheet* owner, QWidget* parent);

    void Detach() { m_owner = nullptr; }

    // Ctrl+Tab and its friends change tabs wherever the focus is in the sheet. They are
    // taken before any control sees them: a list would move its selection on
    // Ctrl+PgDn, and on X11 Ctrl+Shift+Tab arrives in more than one form.
    void WatchTabKeys();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

protected:
    static int TabStep(const QKeyEvent& key);
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    PropertySheet* m_owner;
};

}  // namespace zo::ui
