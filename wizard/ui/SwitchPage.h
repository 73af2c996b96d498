#pragma once

#include "link/ModemChannel.h"
#include "pages/AnimatedPage.h"
#include "platform/ui/controls/Controls.h"

namespace zo::wizard {

// The wizard's second page: the type of the ISDN switch, one of the three texts of
// string 102, kept in the channel's Switch as its display text.
// Seams: the prompter (message 108 at Cancel). User-interface thread.
class SwitchPage : public pages::AnimatedPage {
public:
    explicit SwitchPage(link::ModemChannel* channel);

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    bool OnQueryCancel() override;

    ui::ListBox m_switchList;
    link::ModemChannel* m_channel;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    void StoreSelection();
};

}  // namespace zo::wizard
