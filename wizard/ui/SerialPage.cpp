#include "wizard/ui/SerialPage.h"

#include <sstream>
#include <string>

#include "link/ui/PortDeviceDialog.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "wizard/CancelQuestion.h"

namespace zo::wizard {

void SetManualLineSettings(link::WorkingProfile& profile) {
    profile.Baud = "38400";
    profile.Bits = "8";
    profile.Parity = "None";
    profile.ParityCode = 0;
    profile.Stop = "1";
    profile.StopBitsCode = 0;
    profile.Flow = "Hardware";
}

SerialPage::SerialPage(link::WorkingProfile* profile)
    : pages::AnimatedPage(res::IDD_SERIAL), m_profile(profile) {
    MapCommand(ui::LBN_SELCHANGE, res::IDC_PORT_LIST, [this] { ShowDevice(); });
    MapCommand(ui::BN_CLICKED, res::IDC_PORT_DEVICE_CHOOSE, [this] {
        link::ChoosePortDevice(SelectedPort(), Widget());
        ShowDevice();
    });
}

std::string SerialPage::SelectedPort() const {
    const int selected = m_portList.GetCurSel();
    return selected >= 0 ? m_portList.GetText(selected) : std::string();
}

void SerialPage::ShowDevice() {
    link::ShowPortDevice(*this, SelectedPort());
}

void SerialPage::DoDataExchange(ui::DataExchange& dx) {
    ui::DDX_Control(dx, res::IDC_PORT_LIST, m_portList);
}

bool SerialPage::OnInitDialog() {
    pages::AnimatedPage::OnInitDialog();
    std::istringstream names(res::LoadString(res::IDS_PORT_LIST));
    std::string name;
    while (std::getline(names, name, ',')) {
        if (!name.empty()) {
            m_portList.AddString(name);
        }
    }
    CreateAnimation();
    return true;
}

bool SerialPage::OnSetActive() {
    bool result = pages::AnimatedPage::OnSetActive();
    GetSheet()->SetWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    if (m_profile->Port.empty()) {
        m_portList.SetCurSel(0);
    } else {
        m_portList.SelectString(-1, m_profile->Port);
    }
    UpdateData(false);
    ShowDevice();
    RestartAnimation();
    return result;
}

void SerialPage::StoreChoice() {
    UpdateData(true);
    int selected = m_portList.GetCurSel();
    if (selected >= 0) {
        m_profile->Port = m_portList.GetText(selected);
    }
    SetManualLineSettings(*m_profile);
}

int SerialPage::OnWizardBack() {
    StoreChoice();
    return pages::AnimatedPage::OnWizardBack();
}

int SerialPage::OnWizardNext() {
    StoreChoice();
    return pages::AnimatedPage::OnWizardNext();
}

bool SerialPage::OnQueryCancel() {
    return wizard::ConfirmWizardCancel() && pages::AnimatedPage::OnQueryCancel();
}

}  // namespace zo::wizard
