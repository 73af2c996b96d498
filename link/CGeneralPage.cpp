#include "link/CGeneralPage.h"

#include <sstream>

#include "app/CSummarySheet.h"
#include "link/ModemChannel.h"
#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"

namespace zo::link {

CGeneralPage::CGeneralPage() : app::CAnimatedPage(res::IDD_GENERAL) {
    MapCommand(ui::LBN_SELCHANGE, res::IDC_PORT_LIST, [this] { OnSelChange(); });
}

app::CSummarySheet* CGeneralPage::Sheet() const {
    return dynamic_cast<app::CSummarySheet*>(GetSheet());
}

void CGeneralPage::DoDataExchange(ui::DataExchange& dx) {
    app::CAnimatedPage::DoDataExchange(dx);
    ui::DDX_Control(dx, res::IDC_PORT_LIST, m_portList);
    ui::DDX_LBString(dx, res::IDC_PORT_LIST, m_port);
}

bool CGeneralPage::OnInitDialog() {
    app::CAnimatedPage::OnInitDialog();
    std::istringstream names(res::LoadString(res::IDS_PORT_LIST));
    for (std::string name; std::getline(names, name, ',');) {
        m_portList.AddString(name);
    }
    CreateAnimation();
    return true;
}

bool CGeneralPage::OnSetActive() {
    if (app::CSummarySheet* sheet = Sheet()) {
        m_port = sheet->m_portName;
    }
    UpdateData(false);
    bool result = app::CAnimatedPage::OnSetActive();
    RestartAnimation();
    return result;
}

bool CGeneralPage::OnKillActive() {
    UpdateData(true);
    app::CSummarySheet* sheet = Sheet();
    if (sheet) {
        // Coming back shows the choice made, instead of the loaded profile's port that
        // leaving again would quietly put back into the channel.
        sheet->m_portName = m_port;
        if (sheet->m_pChannel) {
            sheet->m_pChannel->Port = m_port;
        }
    }
    return app::CAnimatedPage::OnKillActive();
}

void CGeneralPage::OnSelChange() {
    if (app::CSummarySheet* sheet = Sheet()) {
        sheet->m_profileModified = true;
    }
}

}  // namespace zo::link
