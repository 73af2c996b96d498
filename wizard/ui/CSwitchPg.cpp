#include "wizard/ui/CSwitchPg.h"

#include <sstream>
#include <string>

#include "platform/ui/DataExchange.h"
#include "platform/ui/PropertySheet.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "wizard/CancelQuestion.h"

namespace zo::wizard {

namespace {
constexpr const char* kDefaultSwitch = "National ISDN-1 (NI-1)";
}

CSwitchPg::CSwitchPg(link::ModemChannel* channel)
    : pages::CAnimatedPage(res::IDD_SWITCH), m_channel(channel) {}

void CSwitchPg::DoDataExchange(ui::DataExchange& dx) {
    ui::DDX_Control(dx, res::IDC_SWITCH_LIST, m_switchList);
}

bool CSwitchPg::OnInitDialog() {
    pages::CAnimatedPage::OnInitDialog();
    std::istringstream types(res::LoadString(res::IDS_SWITCH_TYPES));
    std::string type;
    while (std::getline(types, type, ',')) {
        if (!type.empty()) {
            m_switchList.AddString(type);
        }
    }
    int selected = m_channel->Switch.empty() ? ui::ItemList::kError
                                             : m_switchList.FindStringExact(-1, m_channel->Switch);
    // A text from elsewhere that names none of the three still leaves one chosen.
    if (selected == ui::ItemList::kError) {
        selected = m_switchList.FindStringExact(-1, kDefaultSwitch);
    }
    m_switchList.SetCurSel(selected);
    CreateAnimation();
    return true;
}

bool CSwitchPg::OnSetActive() {
    bool result = pages::CAnimatedPage::OnSetActive();
    GetSheet()->SetWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    RestartAnimation();
    return result;
}

void CSwitchPg::StoreSelection() {
    int selected = m_switchList.GetCurSel();
    if (selected >= 0) {
        m_channel->Switch = m_switchList.GetText(selected);
    }
}

int CSwitchPg::OnWizardBack() {
    StoreSelection();
    return 0;
}

int CSwitchPg::OnWizardNext() {
    StoreSelection();
    return 0;
}

bool CSwitchPg::OnQueryCancel() {
    return ConfirmWizardCancel();
}

}  // namespace zo::wizard
