#pragma once

#include <QIcon>
#include <memory>
#include <string>

#include "link/ModemChannel.h"
#include "link/WorkingProfile.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "wizard/ui/CommitPage.h"
#include "wizard/ui/LocationPage.h"
#include "wizard/ui/PhonePage.h"
#include "wizard/ui/SerialPage.h"
#include "wizard/ui/SwitchPage.h"

namespace zo::wizard {

// The wizard help file named when the wizard closes.
inline constexpr const char* kWizardHelpFile = "Zo_Wizrd.hlp";

// The wizard that creates one location profile: location, switch type, numbers, port
// and commit pages, walked with Back, Next and Finish. Its pages share the working profile
// and the channel it is given.
// Seams: the help (the product help's context 2000 + the active page's index, and the
// wizard's help file let go as it closes); no message of its own. User-interface thread.
class WizardSheet : public ui::PropertySheet {
public:
    // The pages work on `channel` and `profile` (the application passes its own); without
    // them, on the sheet's own (pictures of the pages).
    WizardSheet(const std::string& caption, QWidget* parentWindow = nullptr, int selectPage = 0,
                link::ModemChannel* channel = nullptr, link::WorkingProfile* profile = nullptr);

    // Tells the help that the wizard's help file is no longer needed, then closes.
    bool DestroyWindow() override;
    // Opens the product help at 2000 + the active page's index, whatever was asked.
    void WinHelp(unsigned long data, unsigned command) override;

private:
    std::unique_ptr<link::ModemChannel> m_ownChannel;
    std::unique_ptr<link::WorkingProfile> m_ownProfile;

public:
    // In construction order; the page order of the wizard is set by the constructor.
    wizard::LocationPage m_locationPage;
    wizard::PhonePage m_phonePage;
    wizard::SerialPage m_serialPage;
    wizard::SwitchPage m_switchPage;
    wizard::CommitPage m_commitPage;
    QIcon m_icon;

protected:
    int OnCreate() override;
    bool OnPaint(QPainter& painter) override;
    QIcon OnQueryDragIcon() const override { return m_icon; }
};

}  // namespace zo::wizard
