#include "app/CWizardSheet.h"

#include "app/SheetShared.h"
#include "platform/help/HelpSystem.h"
#include "res/Artwork.h"
#include "res/ResourceIds.h"

namespace zo::app {

CWizardSheet::CWizardSheet(const std::string& caption, QWidget* parentWindow, int selectPage)
    : ui::PropertySheet(caption, parentWindow, selectPage),
      m_locationPage(res::IDD_LOCATION),
      m_phonePage(res::IDD_PHONE),
      m_serialPage(res::IDD_SERIAL),
      m_switchPage(res::IDD_SWITCH),
      m_commitPage(res::IDD_COMMIT) {
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
    PaintIconic(GetSafeHwnd(), painter, m_hIcon);
    return true;
}

void CWizardSheet::WinHelp(unsigned long /*data*/, unsigned /*command*/) {
    help::WinHelp(GetSafeHwnd(), ProductHelpPath(), ui::HELP_CONTEXT,
                  2000ul + static_cast<unsigned long>(GetActiveIndex()));
}

bool CWizardSheet::DestroyWindow() {
    help::WinHelp(GetSafeHwnd(), kWizardHelpFile, ui::HELP_QUIT, 0);
    return ui::PropertySheet::DestroyWindow();
}

}  // namespace zo::app
