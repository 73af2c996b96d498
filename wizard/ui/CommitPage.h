#pragma once

#include <memory>

#include "link/CardConfiguration.h"
#include "link/ModemChannel.h"
#include "link/WorkingProfile.h"
#include "pages/AnimatedPage.h"
#include "platform/ui/controls/Controls.h"
#include "store/RegistryKey.h"

namespace zo::wizard {

// The wizard's last page: it names the profile about to be saved and, at Finish, saves
// it and (when the box is checked) programs the card with it first.
// Seams: the default hive (the save), the prompter (114 when the save fails, 108 at Cancel,
// and after programming 109, 110, 111, 114, 201 or a text of its own), and while the card
// is programmed on the conversation worker the clock, the port map and the channel's 111,
// 109 and 110. The rest runs on the user-interface thread.
class CommitPage : public pages::AnimatedPage {
public:
    CommitPage(link::ModemChannel* channel, link::WorkingProfile* profile);

    bool OnSetActive() override;
    int OnWizardBack() override;
    bool OnWizardFinish() override;
    bool OnQueryCancel() override;

    // Writes the working profile under its PCCARD key; message 114 and false on failure.
    // A profile another program stored under the name meanwhile stands: message 116 with
    // the reason, and the location page to choose another name.
    bool SaveProfile();

    ui::Static m_summaryText;
    int m_applyToCard = 1;
    link::ModemChannel* m_channel;
    link::WorkingProfile* m_profile;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    // Programs the card; the progress window is closed on every way out.
    bool ProgramAndSave();
    // The message of an outcome, with the reason behind it.
    void Report(link::CardConfigurationResult result, const link::CardConfiguration& configuration);
    // Another program stored a profile under the wizard's name after the location page
    // checked it: says so and goes back to that page.
    void NameTakenMeanwhile(const std::string& reason);
};

}  // namespace zo::wizard
