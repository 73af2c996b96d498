#pragma once

#include <functional>
#include <memory>
#include <string>

#include "link/ProgressWindow.h"
#include "pages/CAnimatedPage.h"
#include "platform/ui/Controls.h"
#include "store/ProfileStore.h"

namespace zo::link {
class ModemChannel;
}

namespace zo::store {
class RegistryKey;
}

namespace zo::summary {

class CSummarySheet;

// "Configure": the stored location profiles, one of them shown for editing, created
// through the wizard, removed, and applied to the card with the sheet's Apply button.
// The first time it is shown it asks the card who it is, behind the splash picture.
// It keeps the sheet's "not applied" flag up to date and offers to apply on Close.
class CConfigPage : public pages::CAnimatedPage {
public:
    CConfigPage();

    bool OnSetActive() override;
    bool OnApply() override;

    // Message map.
    void OnNew();
    void OnRemove();
    void OnProfileChanged();
    void OnSwitchChanged();
    void OnConfig2Clicked();
    void OnArea1Changed();
    void OnExchange1Changed();
    void OnLine1Changed();
    void OnSpid1Changed();
    void OnArea2Changed();
    void OnExchange2Changed();
    void OnLine2Changed();
    void OnSpid2Changed();

    // Reads one profile into the fields; false after a registry failure.
    bool LoadProfile(const std::string& name);
    // The fields as the profile `m_profile` is stored.
    store::ProfileRecord FieldsRecord() const;
    // Whether a profile is recorded as applied (no name), or whether it is `name`.
    bool IsCurrentProfile(store::RegistryKey* key, const std::string* name);
    // The index of the first character that is not a digit, made a blank after message
    // 104; -1 when all are digits.
    int CheckDigits(std::string& field);
    void SetConfig2ReadOnly(bool readOnly);
    void ReportRegistryFailure();
    void ReportWriteFailure();

    bool m_firstActivation = true;
    std::string m_port, m_baud, m_bits, m_parity, m_stop, m_flow;
    ui::Button m_removeButton;
    ui::ComboBox m_profileList;
    ui::ComboBox m_switchList;
    ui::Edit m_spid2Edit, m_spid1Edit, m_line2Edit, m_exchange2Edit, m_area2Edit, m_line1Edit,
        m_exchange1Edit, m_area1Edit;
    std::string m_switchType;
    std::string m_area1, m_exchange1, m_line1;
    std::string m_area2, m_exchange2, m_line2;
    std::string m_spid1;
    std::string m_spid2;
    bool m_config2 = false;
    std::string m_profile;
    // The profile as last read from the store, so Apply never saves over another
    // program's change made meanwhile.
    store::Profile m_loaded;
    std::string m_loadedName;

    // Makes the progress window of Apply; the program's own dialog unless replaced.
    std::function<std::unique_ptr<link::ProgressWindow>()> m_makeProgress;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    // Close: may offer to apply the profile shown first.
    void OnCancel() override;

private:
    summary::CSummarySheet* Sheet() const;
    link::ModemChannel* Channel() const;
    void SetProfileModified(bool modified);
    // Pushes the fields into the controls; an empty switch type or profile selects nothing.
    void PushFields();
    void Advance(int controlId);
    // The edit handlers' shared start: the fields collected, then the digit check of
    // `field` with the bad character selected in `edit`; false when it failed.
    bool Checked(std::string& field, ui::Edit& edit);
    // Step 1 of the first activation: talks to the card; false refuses the activation.
    bool QueryCard();
    std::string SuggestSpid(const std::string& area, const std::string& exchange,
                            const std::string& line) const;
};

}  // namespace zo::summary
