#include "wizard/ui/CCommitPg.h"

#include <optional>

#include "link/CardConfiguration.h"
#include "link/CardSettings.h"
#include "link/ui/MissingCardDialog.h"
#include "link/ui/ProgressDialog.h"
#include "platform/prompt/Prompter.h"
#include "platform/ui/Conversation.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/PropertySheet.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "wizard/CancelQuestion.h"

namespace zo::wizard {

namespace {
constexpr int kLocationPageIndex = 0;
constexpr int kPhonePageIndex = 2;
constexpr int kPortPageIndex = 3;
}  // namespace

CCommitPg::CCommitPg(link::ModemChannel* channel)
    : pages::CAnimatedPage(res::IDD_COMMIT), m_channel(channel) {}

void CCommitPg::DoDataExchange(ui::DataExchange& dx) {
    ui::DDX_Control(dx, res::IDC_COMMIT_SUMMARY, m_summaryText);
    ui::DDX_Check(dx, res::IDC_APPLY_TO_CARD, m_applyToCard);
}

bool CCommitPg::OnInitDialog() {
    pages::CAnimatedPage::OnInitDialog();
    CreateAnimation();
    return true;
}

bool CCommitPg::OnSetActive() {
    pages::CAnimatedPage::OnSetActive();
    GetSheet()->SetWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT | ui::PSWIZB_FINISH);
    m_summaryText.SetWindowText(res::LoadString(res::IDS_COMMIT_PREFIX) + m_channel->Location +
                                res::LoadString(res::IDS_COMMIT_SUFFIX));
    RestartAnimation();
    UpdateData(false);
    return true;
}

int CCommitPg::OnWizardBack() {
    // With the card found by the search the port page was never shown.
    GetSheet()->SetActivePage(m_channel->AutoDetect ? kPhonePageIndex : kPortPageIndex);
    return 0;
}

bool CCommitPg::OnQueryCancel() {
    return ConfirmWizardCancel();
}

bool CCommitPg::SaveProfile() {
    const store::StoreResult saved = store::SaveNewProfile(m_channel->WorkingProfileRecord());
    switch (saved.status) {
        case store::StoreStatus::Ok:
            return true;
        case store::StoreStatus::Changed:
            NameTakenMeanwhile(saved.text);
            return false;
        default:
            platform::CurrentPrompter().Ask(res::LoadString(res::IDS_REGISTRY_FAILED),
                                            platform::Buttons::Ok, platform::Icon::None,
                                            store::RegistryFailureDetail());
            return false;
    }
}

void CCommitPg::NameTakenMeanwhile(const std::string& reason) {
    // The other program's profile stands; the user chooses another name.
    platform::CurrentPrompter().Ask(res::LoadString(res::IDS_NAME_IN_USE), platform::Buttons::Ok,
                                    platform::Icon::None, reason);
    GetSheet()->SetActivePage(kLocationPageIndex);
}

bool CCommitPg::OnWizardFinish() {
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

void CCommitPg::Report(link::CardConfigurationResult result,
                       const link::CardConfiguration& configuration) {
    const std::string detail = result == link::CardConfigurationResult::ProfileChanged
                                   ? configuration.StoreOutcome().text
                                   : link::OutcomeDetail(result, *m_channel);
    platform::CurrentPrompter().Ask(link::OutcomeMessage(result, configuration.RefusedField()),
                                    platform::Buttons::Ok, platform::Icon::None, detail);
}

bool CCommitPg::ProgramAndSave() {
    auto progress = std::make_unique<link::ProgressDialog>();
    link::CardConfiguration configuration(*m_channel, *progress, link::ProgressSteps::Wizard);
    link::CardSettings settings = link::WizardCardSettings(*m_channel);
    // The name was free at the location page: a profile stored under it since then stands.
    settings.readBefore = store::Profile{};
    const std::optional<link::CardConfigurationResult> ran =
        ui::RunConversation([&] { return configuration.Run(settings); });
    if (!ran) {
        return false;
    }
    const link::CardConfigurationResult result = *ran;
    switch (result) {
        case link::CardConfigurationResult::Applied:
            // Saved by the run itself, in the transaction that recorded it as applied.
            return true;
        case link::CardConfigurationResult::PortNotOpened: {
            progress.reset();
            link::MissingCardDialog question(m_channel->PortError());
            switch (question.Ask()) {
                case link::MissingCardAnswer::Continue:
                    return SaveProfile();
                case link::MissingCardAnswer::SelectPort:
                    m_channel->AutoDetect = false;
                    GetSheet()->SetActivePage(kPortPageIndex);
                    return false;
                case link::MissingCardAnswer::Cancel:
                    return false;
            }
            return false;
        }
        case link::CardConfigurationResult::NoReply:
            progress.reset();
            m_channel->AutoDetect = false;
            Report(result, configuration);
            GetSheet()->SetActivePage(kPortPageIndex);
            return false;
        case link::CardConfigurationResult::WrongCard:
            Report(result, configuration);
            m_channel->AutoDetect = false;
            progress.reset();
            GetSheet()->SetActivePage(kPortPageIndex);
            return false;
        case link::CardConfigurationResult::WriteFailed:
            progress.reset();
            m_channel->AutoDetect = false;
            Report(result, configuration);
            return false;
        case link::CardConfigurationResult::ProfileChanged:
            progress.reset();
            Report(result, configuration);
            GetSheet()->SetActivePage(kLocationPageIndex);
            return false;
        case link::CardConfigurationResult::RegistryFailed:
        case link::CardConfigurationResult::UnsafeValue:
        case link::CardConfigurationResult::Refused:
            progress.reset();
            Report(result, configuration);
            return false;
    }
    return false;
}

}  // namespace zo::wizard
