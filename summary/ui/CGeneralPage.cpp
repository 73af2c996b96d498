#include "summary/ui/CGeneralPage.h"

#include <sstream>

#include "link/ModemChannel.h"
#include "link/ui/PortDeviceDialog.h"
#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "summary/ui/CSummarySheet.h"

namespace zo::summary {

CGeneralPage::CGeneralPage() : pages::CAnimatedPage(res::IDD_GENERAL) {
    MapCommand(ui::LBN_SELCHANGE, res::IDC_PORT_LIST, [this] { OnSelChange(); });
    MapCommand(ui::BN_CLICKED, res::IDC_PORT_DEVICE_CHOOSE, [this] { OnChooseDevice(); });
}

summary::CSummarySheet* CGeneralPage::Sheet() const {
    return dynamic_cast<summary::CSummarySheet*>(GetSheet());
}

void CGeneralPage::DoDataExchange(ui::DataExchange& dx) {
    pages::CAnimatedPage::DoDataExchange(dx);
    ui::DDX_Control(dx, res::IDC_PORT_LIST, m_portList);
    ui::DDX_LBString(dx, res::IDC_PORT_LIST, m_port);
}

bool CGeneralPage::OnInitDialog() {
    pages::CAnimatedPage::OnInitDialog();
    std::istringstream names(res::LoadString(res::IDS_PORT_LIST));
    for (std::string name; std::getline(names, name, ',');) {
        m_portList.AddString(name);
    }
    CreateAnimation();
    return true;
}

bool CGeneralPage::OnSetActive() {
    if (summary::CSummarySheet* sheet = Sheet()) {
        m_port = sheet->PortName();
    }
    UpdateData(false);
    link::ShowPortDevice(*this, m_port);
    bool result = pages::CAnimatedPage::OnSetActive();
    RestartAnimation();
    return result;
}

bool CGeneralPage::OnKillActive() {
    UpdateData(true);
    summary::CSummarySheet* sheet = Sheet();
    if (sheet) {
        // Coming back shows the choice made, instead of the loaded profile's port that
        // leaving again would quietly put back into the channel.
        sheet->SetPortName(m_port);
        if (link::ModemChannel* channel = sheet->Channel()) {
            channel->Port = m_port;
        }
    }
    return pages::CAnimatedPage::OnKillActive();
}

void CGeneralPage::OnSelChange() {
    if (summary::CSummarySheet* sheet = Sheet()) {
        sheet->SetProfileModified(true);
    }
    UpdateData(true);
    link::ShowPortDevice(*this, m_port);
}

void CGeneralPage::OnChooseDevice() {
    UpdateData(true);
    link::ChoosePortDevice(m_port, GetSafeHwnd());
    link::ShowPortDevice(*this, m_port);
}

}  // namespace zo::summary
