#include "wizard/ui/WizardSheet.h"

#include "pages/SheetShared.h"
#include "platform/help/HelpSystem.h"
#include "res/ResourceIds.h"
#include "res/ui/Artwork.h"

namespace zo::wizard {
namespace {

template <typename T>
std::unique_ptr<T> Spare(T* given) {
    return given ? nullptr : std::make_unique<T>();
}

template <typename T>
T* Pages(T* given, const std::unique_ptr<T>& spare) {
    return given ? given : spare.get();
}

}  // namespace

WizardSheet::WizardSheet(const std::string& caption, QWidget* parentWindow, int selectPage,
                         link::ModemChannel* channel, link::WorkingProfile* profile)
    : ui::PropertySheet(caption, parentWindow, selectPage),
      m_ownChannel(Spare(channel)),
      m_ownProfile(Spare(profile)),
      m_locationPage(Pages(profile, m_ownProfile)),
      m_phonePage(Pages(channel, m_ownChannel), Pages(profile, m_ownProfile)),
      m_serialPage(Pages(profile, m_ownProfile)),
      m_switchPage(Pages(profile, m_ownProfile)),
      m_commitPage(Pages(channel, m_ownChannel), Pages(profile, m_ownProfile)) {
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
