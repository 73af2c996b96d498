#include "platform/ui/dialogs/Dialog.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

#include "platform/ui/controls/Accessibility.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/controls/Text.h"
#include "platform/ui/conversation/InputHold.h"
#include "platform/ui/dialogs/ControlFactory.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "res/DialogTemplates.h"

namespace zo::ui {

// The top-level window of a dialog: Esc and the close box arrive as IDCANCEL.
class DialogWindow : public QDialog {
public:
    DialogWindow(Dialog* owner, QWidget* parent, Qt::WindowFlags flags, bool frame)
        : QDialog(parent, flags), m_owner(owner), m_frame(frame) {}

    void reject() override {
        if (m_owner) {
            const ActionScope action;
            m_owner->OnCommand(IDCANCEL, BN_CLICKED);
        }
    }
    void Detach() { m_owner = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QDialog::paintEvent(event);
        if (m_frame) {
            // A popup without a caption still has the thin frame of a modal dialog.
            QPainter p(this);
            QStyleOptionFrame opt;
            opt.initFrom(this);
            opt.rect = rect();
            opt.lineWidth = 2;
            opt.state |= QStyle::State_Raised;
            style()->drawPrimitive(QStyle::PE_Frame, &opt, &p, this);
        }
    }

private:
    Dialog* m_owner;
    bool m_frame;
};

Dialog::Dialog(int templateId, QWidget* parentWindow)
    : m_templateId(templateId), m_parentWindow(parentWindow) {}

Dialog::~Dialog() {
    QWidget* w = m_widget.data();
    if (auto* dw = dynamic_cast<DialogWindow*>(w)) {
        dw->Detach();
    }
    // The derived dialog is gone by now: the focus leaving a control as the window goes
    // must not reach its handlers.
    m_widget = nullptr;
    delete w;
}

const res::DialogTemplate& Dialog::Template() const {
    static const res::DialogTemplate empty;
    const res::DialogTemplate* t = res::FindDialogTemplate(m_templateId);
    return t ? *t : empty;
}

bool Dialog::CreateFromTemplate(QWidget* parent, bool child) {
    const res::DialogTemplate* t = res::FindDialogTemplate(m_templateId);
    if (!t || m_widget) {
        return false;
    }
    EnableAccessibility();
    m_units = DialogUnits::ForTemplate(*t);
    QSize size = m_units.ToPixels(t->rect.cx, t->rect.cy);
    QWidget* w;
    if (child) {
        w = new QWidget(parent);
    } else {
        Qt::WindowFlags flags = Qt::Dialog;
        bool captioned = t->style & res::kCaption;
        if (captioned) {
            flags |= Qt::WindowTitleHint | Qt::CustomizeWindowHint;
            if (t->style & res::kSysMenu) {
                flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            }
        } else {
            flags |= Qt::FramelessWindowHint;
        }
        auto* dw =
            new DialogWindow(this, parent, flags, !captioned && (t->style & res::kModalFrame));
        dw->setWindowTitle(ToQ(t->caption));
        dw->setFixedSize(size);
        dw->setModal(false);
        w = dw;
    }
    w->setObjectName(QStringLiteral("dialog%1").arg(m_templateId));
    w->setFont(m_units.Font());
    w->resize(size);
    m_widget = w;
    m_ended = false;
    m_controls = CreateControls(*t, m_units, w, [this](int id, int code) {
        if (m_widget) {
            const ActionScope action;
            OnCommand(id, code);
        }
    });
    if (!child) {
        if (t->style & res::kCaption) {
            // Placed over the owner, or in the middle of the screen without one.
            QRect area = parent ? parent->window()->frameGeometry()
                                : (QGuiApplication::primaryScreen()
                                       ? QGuiApplication::primaryScreen()->availableGeometry()
                                       : QRect(0, 0, 800, 600));
            w->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        } else {
            w->move(m_units.ToPixelsX(t->rect.x), m_units.ToPixelsY(t->rect.y));
        }
    }
    return true;
}

int Dialog::DoModal() {
    if (!CreateFromTemplate(m_parentWindow, false)) {
        return -1;
    }
    auto* dw = static_cast<DialogWindow*>(m_widget.data());
    OnInitDialog();
    if (!m_ended && m_widget) {
        m_modalRunning = true;
        dw->setWindowModality(Qt::ApplicationModal);
        dw->exec();
        m_modalRunning = false;
    }
    int result = m_result;
    DestroyWindow();
    return result;
}

bool Dialog::Create(QWidget* parentWindow) {
    if (!CreateFromTemplate(parentWindow ? parentWindow : m_parentWindow, false)) {
        return false;
    }
    OnInitDialog();
    if (m_widget && (Template().style & res::kVisible) && !m_ended) {
        m_widget->show();
    }
    return m_widget != nullptr;
}

bool Dialog::DestroyWindow() {
    if (!m_widget) {
        return false;
    }
    OnDestroy();
    QWidget* w = m_widget.data();
    if (auto* dw = dynamic_cast<DialogWindow*>(w)) {
        dw->Detach();
    }
    m_widget = nullptr;
    m_controls.clear();
    w->hide();
    delete w;
    return true;
}

void Dialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    if (auto* dw = dynamic_cast<QDialog*>(m_widget.data())) {
        if (m_modalRunning) {
            dw->done(result);
        } else {
            dw->hide();
        }
    }
}

QWidget* Dialog::ControlWidget(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second.data();
}

bool Dialog::UpdateData(bool saveAndValidate) {
    if (!m_widget) {
        return false;
    }
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

void Dialog::SetControlText(int id, const std::string& text) {
    Control c;
    c.Attach(ControlWidget(id));
    c.SetWindowText(text);
}

std::string Dialog::ControlText(int id) const {
    Control c;
    c.Attach(ControlWidget(id));
    return c.GetWindowText();
}

void Dialog::FocusControl(QWidget* control) {
    if (!control) {
        return;
    }
    control->setFocus(Qt::TabFocusReason);
    // The edit of an inactive window gets no focus event to select its text by.
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->selectAll();
    }
}

void Dialog::FocusNextControl() {
    if (!m_widget) {
        return;
    }
    QWidget* from = m_widget->focusWidget();
    if (!from) {
        from = m_widget;
    }
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if (m_widget->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
            w->isVisibleTo(m_widget)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void Dialog::MapCommand(int code, int id, std::function<void()> handler) {
    m_commandMap[{code, id}] = std::move(handler);
}

void Dialog::DoDataExchange(DataExchange& /*dx*/) {}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool Dialog::OnCommand(int id, int code) {
    auto it = m_commandMap.find({code, id});
    if (it != m_commandMap.end()) {
        // A copy: the handler may replace its own entry.
        std::function<void()> handler = it->second;
        handler();
        return true;
    }
    if (code == BN_CLICKED && id == IDOK) {
        OnOK();
        return true;
    }
    if (code == BN_CLICKED && id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

}  // namespace zo::ui
