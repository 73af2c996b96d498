#include "pages/PlaceholderPage.h"

#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"

namespace zo::pages {

bool PlaceholderPage::OnInitDialog() {
    AnimatedPage::OnInitDialog();
    CreateAnimation();
    return true;
}

bool PlaceholderPage::OnSetActive() {
    bool result = AnimatedPage::OnSetActive();
    ui::PropertySheet* sheet = GetSheet();
    if (sheet && sheet->IsWizard()) {
        int index = sheet->GetPageIndex(this);
        unsigned buttons = index > 0 ? ui::PSWIZB_BACK : 0u;
        buttons |= index + 1 < sheet->GetPageCount() ? ui::PSWIZB_NEXT : ui::PSWIZB_FINISH;
        sheet->SetWizardButtons(buttons);
    }
    RestartAnimation();
    return result;
}

}  // namespace zo::pages
