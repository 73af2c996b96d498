#include "wizard/ui/CWizardSheet.h"

#include "pages/SheetShared.h"
#include "platform/help/HelpSystem.h"
#include "res/ResourceIds.h"
#include "res/ui/Artwork.h"

namespace zo::wizard {
namespace {

std::unique_ptr<link::ModemChannel> SpareChannel(link::ModemChannel* channel) {
    if (channel) {
        return nullptr;
    }
    return std::make_unique<link::ModemChannel>();
}

link::ModemChannel* PagesChannel(link::ModemChannel* channel, link::ModemChannel* spare) {
    return channel ? channel : spare;
}

}  // namespace

CWizardSheet::CWizardSheet(const std::string& caption, QWidget* parentWindow, int selectPage,
                           link::ModemChannel* channel)
    : ui::PropertySheet(caption, parentWindow, selectPage),
      m_ownChannel(SpareChannel(channel)),
      m_locationPage(PagesChannel(channel, m_ownChannel.get())),
      m_phonePage(PagesChannel(channel, m_ownChannel.get())),
      m_serialPage(PagesChannel(channel, m_ownChannel.get())),
      m_switchPage(PagesChannel(channel, m_ownChannel.get())),
      m_commitPage(PagesChannel(channel, m_ownChannel.get())) {
    AddPage(&m_locationPage);
    AddPage(&m_switchPage);
    AddPage(&m_phonePage);
    AddPage(&m_serialPage);
    AddPage(&m_commitPage);
    SetWizardMode();
    m_hIcon = res::LoadAppIcon();
}

int CWizardSheet::OnCreate() {
    if (ui::PropertySheet::OnCreate() == -1) {
        return -1;
    }
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    return 0;
}

bool CWizardSheet::OnPaint(QPainter& painter) {
    if (!IsIconic()) {
        return false;
    }
    pages::PaintIconic(GetSafeHwnd(), painter, m_hIcon);
    return true;
}

void CWizardSheet::WinHelp(unsigned long /*data*/, unsigned /*command*/) {
    help::WinHelp(GetSafeHwnd(), pages::ProductHelpPath(), ui::HELP_CONTEXT,
                  2000ul + static_cast<unsigned long>(GetActiveIndex()));
}

bool CWizardSheet::DestroyWindow() {
    help::WinHelp(GetSafeHwnd(), kWizardHelpFile, ui::HELP_QUIT, 0);
    return ui::PropertySheet::DestroyWindow();
}

}  // namespace zo::wizard
