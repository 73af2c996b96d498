#include "link/ui/ProgressDialog.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include "platform/ui/conversation/InputHold.h"
#include "platform/ui/conversation/UiThread.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "res/ResourceIds.h"

namespace zo::link {

ProgressDialog::ProgressDialog() : ui::Dialog(res::IDD_PROGRESS, nullptr) {
    Create();
}

ProgressDialog::~ProgressDialog() {
    DestroyWindow();
}

void ProgressDialog::DoDataExchange(ui::DataExchange& dx) {
    ui::DDX_Control(dx, res::IDC_PROGRESS, m_progress);
}

bool ProgressDialog::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (QWidget* w = Widget()) {
        w->setProperty(ui::kConversationWindow, true);
        // The window has no parent, yet it reports on the window in use: without saying so
        // to the window manager, that would stack it beneath the modal sheet.
        QWidget* over = QApplication::activeModalWidget();
        if (!over) {
            over = QApplication::activeWindow();
        }
        if (over && over != w) {
            w->winId();
            w->windowHandle()->setTransientParent(over->windowHandle());
        }
        w->showNormal();
    }
    return true;
}

void ProgressDialog::StepIt() {
    ui::CallOnUiThread([this] { m_progress.StepIt(); });
}

}  // namespace zo::link
