#include "summary/ui/GeneralPage.h"

#include <sstream>

#include "link/ModemChannel.h"
#include "link/ui/PortDeviceDialog.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "summary/ui/SummarySheet.h"

namespace zo::summary {

GeneralPage::GeneralPage() : pages::AnimatedPage(res::IDD_GENERAL) {
    MapCommand(ui::LBN_SELCHANGE, res::IDC_PORT_LIST, [this] { OnSelChange(); });
    MapCommand(ui::BN_CLICKED, res::IDC_PORT_DEVICE_CHOOSE, [this] { OnChooseDevice(); });
}

summary::SummarySheet* GeneralPage::Sheet() const {
    return dynamic_cast<summary::SummarySheet*>(GetSheet());
}

void GeneralPage::DoDataExchange(ui::DataExchange& dx) {
    pages::AnimatedPage::DoDataExchange(dx);
    ui::DDX_Control(dx, res::IDC_PORT_LIST, m_portList);
    ui::DDX_LBString(dx, res::IDC_PORT_LIST, m_port);
}

bool GeneralPage::OnInitDialog() {
    pages::AnimatedPage::OnInitDialog();
    std::istringstream names(res::LoadString(res::IDS_PORT_LIST));
    for (std::string name; std::getline(names, name, ',');) {
        m_portList.AddString(name);
    }
    CreateAnimation();
    return true;
}

bool GeneralPage::OnSetActive() {
    if (summary::SummarySheet* sheet = Sheet()) {
        m_port = sheet->PortName();
    }
    UpdateData(false);
    link::ShowPortDevice(*this, m_port);
    bool result = pages::AnimatedPage::OnSetActive();
    RestartAnimation();
    return result;
}

bool GeneralPage::OnKillActive() {
    UpdateData(true);
    summary::SummarySheet* sheet = Sheet();
    if (sheet) {
        // Coming back shows the choice made, instead of the loaded profile's port that
        // leaving again would quietly put back into the channel.
        sheet->SetPortName(m_port);
        if (link::ModemChannel* channel = sheet->Channel()) {
            link::LineSettings line = channel->Line();
            line.port = m_port;
            channel->SetLine(line);
        }
    }
    return pages::AnimatedPage::OnKillActive();
}

void GeneralPage::OnSelChange() {
    if (summary::SummarySheet* sheet = Sheet()) {
        sheet->SetProfileModified(true);
    }
    UpdateData(true);
    link::ShowPortDevice(*this, m_port);
}

void GeneralPage::OnChooseDevice() {
    UpdateData(true);
    link::ChoosePortDevice(m_port, Widget());
    link::ShowPortDevice(*this, m_port);
}

}  // namespace zo::summary
