#include "wizard/ui/WizardSheet.h"

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

WizardSheet::WizardSheet(const std::string& caption, QWidget* parentWindow, int selectPage,
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
    m_icon = res::LoadAppIcon();
}

int WizardSheet::OnCreate() {
    if (ui::PropertySheet::OnCreate() == -1) {
        return -1;
    }
    SetIcon(m_icon, true);
    SetIcon(m_icon, false);
    return 0;
}

bool WizardSheet::OnPaint(QPainter& painter) {
    if (!IsIconic()) {
        return false;
    }
    pages::PaintIconic(Widget(), painter, m_icon);
    return true;
}

void WizardSheet::WinHelp(unsigned long /*data*/, unsigned /*command*/) {
    help::WinHelp(Widget(), pages::ProductHelpPath(), ui::HELP_CONTEXT,
                  2000ul + static_cast<unsigned long>(GetActiveIndex()));
}

bool WizardSheet::DestroyWindow() {
    help::WinHelp(Widget(), kWizardHelpFile, ui::HELP_QUIT, 0);
    return ui::PropertySheet::DestroyWindow();
}

}  // namespace zo::wizard
