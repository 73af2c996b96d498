#pragma once

#include "link/WorkingProfile.h"
#include "pages/AnimatedPage.h"
#include "platform/ui/controls/Controls.h"

namespace zo::wizard {

// The wizard's second page: the type of the ISDN switch, one of the three texts of
// string 102, kept in the working profile's Switch as its display text.
// Seams: the prompter (message 108 at Cancel). User-interface thread.
class SwitchPage : public pages::AnimatedPage {
public:
    explicit SwitchPage(link::WorkingProfile* profile);

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    bool OnQueryCancel() override;

    ui::ListBox m_switchList;
    link::WorkingProfile* m_profile;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void StoreSelection();
};

}  // namespace zo::wizard
