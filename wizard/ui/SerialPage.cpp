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

void SetManualLineSettings(link::ModemChannel& channel) {
    channel.Baud = "38400";
    channel.Bits = "8";
    channel.Parity = "None";
    channel.ParityCode = 0;
    channel.Stop = "1";
    channel.StopBitsCode = 0;
    channel.Flow = "Hardware";
}

SerialPage::SerialPage(link::ModemChannel* channel)
    : pages::AnimatedPage(res::IDD_SERIAL), m_channel(channel) {
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
    if (m_channel->Port.empty()) {
        m_portList.SetCurSel(0);
    } else {
        m_portList.SelectString(-1, m_channel->Port);
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
        m_channel->Port = m_portList.GetText(selected);
    }
    SetManualLineSettings(*m_channel);
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
