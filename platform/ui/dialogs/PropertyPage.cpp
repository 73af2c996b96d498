#include "platform/ui/dialogs/PropertyPage.h"

#include "platform/ui/dialogs/PropertySheet.h"

namespace zo::ui {

PropertyPage::PropertyPage(int templateId) : Dialog(templateId) {}

void PropertyPage::SetModified(bool changed) {
    m_modified = changed;
    if (m_sheet) {
        m_sheet->PageModifiedChanged();
    }
}

bool PropertyPage::OnSetActive() {
    // OnInitDialog has just pushed the members on the first showing.
    if (m_firstSetActive) {
        m_firstSetActive = false;
    } else {
        UpdateData(false);
    }
    return true;
}

bool PropertyPage::OnKillActive() {
    return UpdateData(true);
}

int PropertyPage::OnWizardBack() {
    return 0;
}

int PropertyPage::OnWizardNext() {
    return 0;
}

bool PropertyPage::OnWizardFinish() {
    return true;
}

bool PropertyPage::OnQueryCancel() {
    return true;
}

bool PropertyPage::OnApply() {
    OnOK();
    return true;
}

void PropertyPage::OnReset() {
    OnCancel();
}

}  // namespace zo::ui
