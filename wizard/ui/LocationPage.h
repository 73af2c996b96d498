#pragma once

#include <memory>
#include <string>

#include "link/WorkingProfile.h"
#include "pages/AnimatedPage.h"
#include "platform/ui/controls/Controls.h"
#include "store/RegistryKey.h"

namespace zo::wizard {

// The wizard's first page: the name of the new location profile, proposed so that no
// stored profile has it, and the choice to skip the search for the card.
// Seams: the default hive (the stored names at start, the typed name's key at Next and
// Cancel) and the prompter (messages 103, 200 and 116 at Next, 108 at Cancel).
// User-interface thread.
class LocationPage : public pages::AnimatedPage {
public:
    explicit LocationPage(link::WorkingProfile* profile);

    bool OnSetActive() override;
    int OnWizardNext() override;
    bool OnQueryCancel() override;

    ui::Edit m_locationEdit;
    std::string m_locationName;
    int m_noAutoDetect = 0;
    link::WorkingProfile* m_profile;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    // Refuses Next with one message and the focus on the name.
    int Refuse(int stringId);
    // Whether a profile of the typed name is stored; the empty key the look-up made is
    // deleted in the same transaction.
    store::StoreValue<bool> LookUpName();

    std::unique_ptr<store::RegistryKey> m_registryKey;
};

}  // namespace zo::wizard
