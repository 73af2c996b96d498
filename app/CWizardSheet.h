#pragma once

#include <QIcon>
#include <string>

#include "app/CPlaceholderPage.h"
#include "platform/ui/PropertySheet.h"

namespace zo::app {

// The wizard help file named when the wizard closes.
inline constexpr const char* kWizardHelpFile = "Zo_Wizrd.hlp";

// The wizard that creates one location profile: location, switch type, numbers, port
// and commit pages, walked with Back, Next and Finish. Its pages share the profile in
// hand through the application's channel.
class CWizardSheet : public ui::PropertySheet {
public:
    CWizardSheet(const std::string& caption, QWidget* parentWindow = nullptr, int selectPage = 0);

    // Tells the help that the wizard's help file is no longer needed, then closes.
    bool DestroyWindow() override;
    // Opens the product help at 2000 + the active page's index, whatever was asked.
    void WinHelp(unsigned long data, unsigned command) override;

    // In construction order; the page order of the wizard is set by the constructor.
    CPlaceholderPage m_locationPage;
    CPlaceholderPage m_phonePage;
    CPlaceholderPage m_serialPage;
    CPlaceholderPage m_switchPage;
    CPlaceholderPage m_commitPage;
    QIcon m_hIcon;

protected:
    int OnCreate() override;
    bool OnPaint(QPainter& painter) override;
    QIcon OnQueryDragIcon() const override { return m_hIcon; }
};

}  // namespace zo::app
