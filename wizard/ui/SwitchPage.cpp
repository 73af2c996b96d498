#include "wizard/ui/SwitchPage.h"

#include <sstream>
#include <string>

#include "platform/ui/dialogs/DataExchange.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "wizard/CancelQuestion.h"

namespace zo::wizard {

namespace {
constexpr const char* kDefaultSwitch = "National ISDN-1 (NI-1)";
}

SwitchPage::SwitchPage(link::WorkingProfile* profile)
    : pages::AnimatedPage(res::IDD_SWITCH), m_profile(profile) {}

void SwitchPage::DoDataExchange(ui::DataExchange& dx) {
    ui::DDX_Control(dx, res::IDC_SWITCH_LIST, m_switchList);
}

bool SwitchPage::OnInitDialog() {
    pages::AnimatedPage::OnInitDialog();
    std::istringstream types(res::LoadString(res::IDS_SWITCH_TYPES));
    std::string type;
    while (std::getline(types, type, ',')) {
        if (!type.empty()) {
            m_switchList.AddString(type);
        }
    }
    int selected = m_profile->Switch.empty() ? ui::ItemList::kError
                                             : m_switchList.FindStringExact(-1, m_profile->Switch);
    // A text from elsewhere that names none of the three still leaves one chosen.
    if (selected == ui::ItemList::kError) {
        selected = m_switchList.FindStringExact(-1, kDefaultSwitch);
    }
    m_switchList.SetCurSel(selected);
    CreateAnimation();
    return true;
}

bool SwitchPage::OnSetActive() {
    bool result = pages::AnimatedPage::OnSetActive();
    GetSheet()->SetWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    RestartAnimation();
    return result;
}

void SwitchPage::StoreSelection() {
    int selected = m_switchList.GetCurSel();
    if (selected >= 0) {
        m_profile->Switch = m_switchList.GetText(selected);
    }
}

int SwitchPage::OnWizardBack() {
    StoreSelection();
    return 0;
}

int SwitchPage::OnWizardNext() {
    StoreSelection();
    return 0;
}

bool SwitchPage::OnQueryCancel() {
    return ConfirmWizardCancel();
}

}  // namespace zo::wizard
