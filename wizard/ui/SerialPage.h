#pragma once

#include <string>

#include "link/WorkingProfile.h"
#include "pages/AnimatedPage.h"
#include "platform/ui/controls/Controls.h"

namespace zo::wizard {

// The wizard's port page: the user names the card's COM port by hand. Leaving it either
// way puts the chosen port and the manual line settings (38400 bit/s) into the working profile;
// the port is opened later, when the card is programmed.
// Seams: the prompter (message 108 at Cancel). User-interface thread.
class SerialPage : public pages::AnimatedPage {
public:
    explicit SerialPage(link::WorkingProfile* profile);

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    bool OnQueryCancel() override;

    ui::ListBox m_portList;
    link::WorkingProfile* m_profile;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void StoreChoice();
    std::string SelectedPort() const;
    // The device the chosen name means, under the list; "Device..." points it at another.
    void ShowDevice();
};

// The line settings of a port chosen by hand.
void SetManualLineSettings(link::WorkingProfile& profile);

}  // namespace zo::wizard
