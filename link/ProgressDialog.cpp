#include "link/ProgressDialog.h"

#include <QWidget>

#include "platform/ui/DataExchange.h"
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
    if (QWidget* w = GetSafeHwnd()) {
        w->showNormal();
    }
    return true;
}

void ProgressDialog::StepIt() {
    m_progress.StepIt();
    if (QWidget* w = GetSafeHwnd(); w && w->isVisible()) {
        w->repaint();
    }
}

}  // namespace zo::link
