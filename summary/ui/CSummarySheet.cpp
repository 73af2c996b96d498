#include "summary/ui/CSummarySheet.h"

#include <QPushButton>

#include "link/ModemChannel.h"
#include "link/PortScan.h"
#include "pages/SheetShared.h"
#include "platform/help/HelpSystem.h"
#include "platform/ui/Conversation.h"
#include "res/ResourceIds.h"
#include "res/Translation.h"
#include "res/ui/Artwork.h"

namespace zo::summary {
CSummarySheet::CSummarySheet(const std::string& title, QWidget* parentWindow, int selectPage)
    : ui::PropertySheet(title, parentWindow, selectPage) {
    AddPage(&m_configPage);
    AddPage(&m_productPage);
    AddPage(&m_generalPage);
    m_hIcon = res::LoadAppIcon();
}

int CSummarySheet::OnCreate() {
    if (ui::PropertySheet::OnCreate() == -1) {
        return -1;
    }
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    return 0;
}

bool CSummarySheet::OnInitDialog() {
    // The first tab is created and activated in here: its own start-up has run after it.
    bool result = ui::PropertySheet::OnInitDialog();
    delete GetDlgItem(ui::IDOK);
    SetDlgItemText(ui::IDCANCEL, res::Tr("Close"));
    if (!m_pChannel) {
        return result;
    }
    link::ModemChannel& channel = *m_pChannel;
    if (channel.Port.empty()) {
        // The scan sets the detection line settings and reports a card found nowhere itself
        // (message 121).
        if (!ui::RunConversation([&channel] {
                 return link::ScanPorts(channel, link::ScanCaller::SummarySheet);
             }).value_or(false)) {
            SetActivePage(IndexOfTemplate(res::IDD_GENERAL));
        }
    }
    if (!ui::RunConversation([&channel] { return channel.OpenConfiguredPort(); }).value_or(false)) {
        SetActivePage(IndexOfTemplate(res::IDD_GENERAL));
    }
    return result;
}

bool CSummarySheet::OnPaint(QPainter& painter) {
    if (!IsIconic()) {
        return false;
    }
    pages::PaintIconic(GetSafeHwnd(), painter, m_hIcon);
    return true;
}

void CSummarySheet::WinHelp(unsigned long /*data*/, unsigned /*command*/) {
    help::WinHelp(GetSafeHwnd(), pages::ProductHelpPath(), ui::HELP_CONTEXT,
                  3000ul + static_cast<unsigned long>(GetActiveIndex()));
}

}  // namespace zo::summary
