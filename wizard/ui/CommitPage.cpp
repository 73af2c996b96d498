#include "wizard/ui/CommitPage.h"

#include <optional>

#include "link/CardConfiguration.h"
#include "link/CardSettings.h"
#include "link/RunOutcome.h"
#include "link/ui/MissingCardDialog.h"
#include "link/ui/ProgressDialog.h"
#include "platform/prompt/Prompter.h"
#include "platform/ui/conversation/Conversation.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "wizard/CancelQuestion.h"

namespace zo::wizard {

namespace {
void ShowPage(ui::PropertySheet* sheet, int templateId) {
    sheet->SetActivePage(sheet->IndexOfTemplate(templateId));
}
}  // namespace

CommitPage::CommitPage(link::ModemChannel* channel, link::WorkingProfile* profile)
    : pages::AnimatedPage(res::IDD_COMMIT), m_channel(channel), m_profile(profile) {}

void CommitPage::DoDataExchange(ui::DataExchange& dx) {
    ui::DDX_Control(dx, res::IDC_COMMIT_SUMMARY, m_summaryText);
    ui::DDX_Check(dx, res::IDC_APPLY_TO_CARD, m_applyToCard);
}

bool CommitPage::OnInitDialog() {
    pages::AnimatedPage::OnInitDialog();
    CreateAnimation();
    return true;
}

bool CommitPage::OnSetActive() {
    pages::AnimatedPage::OnSetActive();
    GetSheet()->SetWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT | ui::PSWIZB_FINISH);
    m_summaryText.SetWindowText(res::LoadString(res::IDS_COMMIT_PREFIX) + m_profile->Location +
                                res::LoadString(res::IDS_COMMIT_SUFFIX));
    RestartAnimation();
    UpdateData(false);
    return true;
}

int CommitPage::OnWizardBack() {
    // With the card found by the search the port page was never shown.
    ShowPage(GetSheet(), m_profile->AutoDetect ? res::IDD_PHONE : res::IDD_SERIAL);
    return 0;
}

bool CommitPage::OnQueryCancel() {
    return ConfirmWizardCancel();
}

bool CommitPage::SaveProfile() {
    const store::StoreResult saved = store::SaveNewProfile(m_profile->Record());
    switch (saved.status) {
        case store::StoreStatus::Ok:
            return true;
        case store::StoreStatus::Changed:
            NameTakenMeanwhile(saved.text);
            return false;
        default:
            platform::CurrentPrompter().Ask(res::LoadString(res::IDS_REGISTRY_FAILED),
                                            platform::Buttons::Ok, platform::Icon::None,
                                            saved.text);
            return false;
    }
}

void CommitPage::NameTakenMeanwhile(const std::string& reason) {
    // The other program's profile stands; the user chooses another name.
    platform::CurrentPrompter().Ask(res::LoadString(res::IDS_NAME_IN_USE), platform::Buttons::Ok,
                                    platform::Icon::None, reason);
    ShowPage(GetSheet(), res::IDD_LOCATION);
}

bool CommitPage::OnWizardFinish() {
    UpdateData(true);
    if (m_applyToCard) {
        return ProgramAndSave();
    }
    auto progress = std::make_unique<link::ProgressDialog>();
    progress->StepIt();
    bool saved = SaveProfile();
    progress.reset();
    return saved;
}

void CommitPage::Report(link::CardConfigurationResult result,
                        const link::CardConfiguration& configuration) {
    platform::CurrentPrompter().Ask(
        link::OutcomeMessage(result, configuration.RefusedField()), platform::Buttons::Ok,
        platform::Icon::None,
        link::RunDetail(result, configuration.StoreOutcome().text,
                        configuration.LinkOutcome().reason, *m_channel));
}

bool CommitPage::ProgramAndSave() {
    auto progress = std::make_unique<link::ProgressDialog>();
    link::CardConfiguration configuration(*m_channel, *progress, link::ProgressSteps::Wizard);
    link::CardSettings settings = link::WizardCardSettings(*m_profile);
    m_channel->SetLine(m_profile->Line());
    // The name was free at the location page: a profile stored under it since then stands.
    settings.readBefore = store::Profile{};
    const std::optional<link::CardConfigurationResult> ran =
        ui::RunConversation([&] { return configuration.Run(settings); });
    if (!ran) {
        return false;
    }
    const link::CardConfigurationResult result = *ran;
    if (result == link::CardConfigurationResult::Applied) {
        // Saved by the run itself, in the transaction that recorded it as applied.
        return true;
    }
    progress.reset();
    const link::RunOutcomeHandling& handling = link::HandlingOf(result);
    if (handling.asksMissingCard) {
        link::MissingCardDialog question(configuration.LinkOutcome().reason);
        switch (question.Ask()) {
            case link::MissingCardAnswer::Continue:
                return SaveProfile();
            case link::MissingCardAnswer::SelectPort:
                m_profile->AutoDetect = false;
                ShowPage(GetSheet(), res::IDD_SERIAL);
                return false;
            case link::MissingCardAnswer::Cancel:
                return false;
        }
        return false;
    }
    if (handling.forgetSearch) {
        m_profile->AutoDetect = false;
    }
    Report(result, configuration);
    switch (handling.then) {
        case link::AfterRun::Stay:
            break;
        case link::AfterRun::ChoosePort:
            ShowPage(GetSheet(), res::IDD_SERIAL);
            break;
        case link::AfterRun::ChooseProfile:
            ShowPage(GetSheet(), res::IDD_LOCATION);
            break;
    }
    return false;
}

}  // namespace zo::wizard
