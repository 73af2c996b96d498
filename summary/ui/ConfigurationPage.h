#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "link/ProgressWindow.h"
#include "pages/AnimatedPage.h"
#include "platform/ui/controls/Controls.h"
#include "summary/ProfileEditor.h"

namespace zo::link {
class ModemChannel;
}

namespace zo::summary {

class SummarySheet;

// "Configure": the stored location profiles, one of them shown for editing, created
// through the wizard, removed, and applied to the card with the sheet's Apply button.
// The first time it is shown it asks the card who it is, behind the splash picture.
// It keeps the "not applied" flag up to date and offers to apply on Close. The page is
// the view of a ProfileEditor, which holds the profile and talks to the store it is handed.
// Seams: the prompter (114 on a store failure, 104 as the numbers are typed, 109, 111, 110
// or why Apply was refused, the closing question 128/129) and the sheet runner for New.
// User-interface thread; the first query and Apply's programming run on the conversation
// worker, with the clock and the port map through the channel.
class ConfigurationPage : public pages::AnimatedPage, private ProfileEditor::Listener {
public:
    explicit ConfigurationPage(registry::Hive& hive = registry::DefaultHive());

    bool OnSetActive() override;
    bool OnApply() override;

    // The profile to show when none is recorded as applied; start-up hands it in before
    // the window is made.
    void SetStartProfile(const std::string& name);
    // Makes the progress window of Apply; the program's own dialog unless replaced.
    void SetProgressWindowMaker(std::function<std::unique_ptr<link::ProgressWindow>()> make);
    // The profile shown, as the controls last handed it over.
    const store::Profile& Fields() const { return m_editor.Fields(); }
    const std::string& Text(ProfileEditor::Field field) const { return m_editor.Text(field); }
    // True while the profile shown is not the one last applied to the card.
    bool ProfileModified() const { return m_editor.Modified(); }
    void SetProfileModified(bool modified) { m_editor.SetModified(modified); }

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    // Close: may offer to apply the profile shown first.
    void OnCancel() override;

private:
    // ProfileEditor::Listener: the controls follow the editor.
    void StoreFailed(const std::string& reason) override;
    void ProfilesListed() override;
    void ProfileUnlisted(const std::string& name) override;
    void RemovableChanged() override;
    void Terminal2Changed() override;
    void PortChanged() override;

    void OnNew();
    void OnRemove();
    void OnProfileChanged();
    void OnSwitchChanged();
    void OnConfig2Clicked();
    // The eight number and SPID edits, one row of the table in the source each.
    void OnFieldChanged(std::size_t row);

    summary::SummarySheet* Sheet() const;
    link::ModemChannel* Channel() const;
    link::WorkingProfile* WorkingProfile() const;
    // Pushes the fields into the controls; an empty switch type or profile selects nothing.
    void PushFields();
    void Advance(int controlId);
    // The digit check of the field in `row`: after message 104 the first other character
    // becomes a blank, selected for overtyping; false then.
    bool Checked(std::size_t row);
    // Step 1 of the first activation: talks to the card; false refuses the activation.
    bool QueryCard();

    ProfileEditor m_editor;
    bool m_firstActivation = true;
    ui::Button m_removeButton;
    ui::ComboBox m_profileList;
    ui::ComboBox m_switchList;
    // In the order of the table of edits.
    std::array<ui::Edit, 8> m_edits;
    std::function<std::unique_ptr<link::ProgressWindow>()> m_makeProgress;
};

}  // namespace zo::summary
