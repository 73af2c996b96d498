#include "summary/ui/SummarySheet.h"

#include <QPushButton>

#include "link/ModemChannel.h"
#include "link/PortScan.h"
#include "pages/SheetShared.h"
#include "platform/help/HelpSystem.h"
#include "platform/ui/conversation/Conversation.h"
#include "res/ResourceIds.h"
#include "res/Translation.h"
#include "res/ui/Artwork.h"

namespace zo::summary {
SummarySheet::SummarySheet(const std::string& title, QWidget* parentWindow, int selectPage,
                           registry::Hive& hive)
    : ui::PropertySheet(title, parentWindow, selectPage), m_configPage(hive) {
    AddPage(&m_configPage);
    AddPage(&m_productPage);
    AddPage(&m_generalPage);
    m_icon = res::LoadAppIcon();
}

int SummarySheet::OnCreate() {
    if (ui::PropertySheet::OnCreate() == -1) {
        return -1;
    }
    SetIcon(m_icon, true);
    SetIcon(m_icon, false);
    return 0;
}

bool SummarySheet::OnInitDialog() {
    // The first tab is created and activated in here: its own start-up has run after it.
    bool result = ui::PropertySheet::OnInitDialog();
    delete ControlWidget(ui::IDOK);
    SetControlText(ui::IDCANCEL, res::Tr("Close"));
    if (!m_channel) {
        return result;
    }
    link::ModemChannel& channel = *m_channel;
    if (channel.Line().port.empty()) {
        // The scan sets the detection line settings and reports a card found nowhere itself
        // (message 121).
        if (!ui::RunConversation([&channel] {
                 return link::ScanPorts(channel, link::ScanCaller::SummarySheet);
             }).value_or(false)) {
            SetActivePage(IndexOfTemplate(res::IDD_GENERAL));
        }
    }
    if (!ui::RunConversation([&channel] {
             return channel.OpenConfiguredPort().Ok();
         }).value_or(false)) {
        SetActivePage(IndexOfTemplate(res::IDD_GENERAL));
    }
    return result;
}

bool SummarySheet::OnPaint(QPainter& painter) {
    if (!IsIconic()) {
        return false;
    }
    pages::PaintIconic(Widget(), painter, m_icon);
    return true;
}

void SummarySheet::WinHelp(unsigned long /*data*/, unsigned /*command*/) {
    help::WinHelp(Widget(), pages::ProductHelpPath(), ui::HELP_CONTEXT,
                  3000ul + static_cast<unsigned long>(GetActiveIndex()));
}

}  // namespace zo::summary
