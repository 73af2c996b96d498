#include "summary/ui/ConfigurationPage.h"

#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "link/CardConfiguration.h"
#include "link/IdentificationQuery.h"
#include "link/ModemChannel.h"
#include "link/RunOutcome.h"
#include "link/ui/ProgressDialog.h"
#include "platform/prompt/Prompter.h"
#include "platform/ui/conversation/Conversation.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "res/Translation.h"
#include "summary/ui/SplashDialog.h"
#include "summary/ui/SummarySheet.h"
#include "wizard/ui/WizardSheet.h"

namespace zo::summary {
namespace {

constexpr const char* kNewProfileCaption = N_("NewSPID");

using Field = ProfileEditor::Field;

// What each of the eight edits does with a change; every one takes digits only.
struct FieldEdit {
    int control;
    Field field;
    int terminal;
    // Terminal 1's number raises "not applied" only for a change that passes the digit
    // check; every other field for each change.
    bool flagsEveryChange;
    // When the field is this long the focus moves on to `next`; 0: never.
    std::size_t fullLength;
    int next;
    // A full line number proposes its terminal's SPID: terminal 1 before the focus moves,
    // terminal 2 after.
    enum { Advance, SuggestThenAdvance, AdvanceThenSuggest } whenFull;
};

constexpr FieldEdit kFieldEdits[] = {
    {res::IDC_CFG_AREA1, Field::Area1, 1, false, 3, res::IDC_CFG_EXCHANGE1, FieldEdit::Advance},
    {res::IDC_CFG_EXCHANGE1, Field::Exchange1, 1, false, 3, res::IDC_CFG_LINE1, FieldEdit::Advance},
    {res::IDC_CFG_LINE1, Field::Line1, 1, false, 4, res::IDC_CFG_CONFIG2,
     FieldEdit::SuggestThenAdvance},
    {res::IDC_CFG_SPID1, Field::Spid1, 1, true, 0, 0, FieldEdit::Advance},
    {res::IDC_CFG_AREA2, Field::Area2, 2, true, 3, res::IDC_CFG_EXCHANGE2, FieldEdit::Advance},
    {res::IDC_CFG_EXCHANGE2, Field::Exchange2, 2, true, 3, res::IDC_CFG_LINE2, FieldEdit::Advance},
    {res::IDC_CFG_LINE2, Field::Line2, 2, true, 4, res::IDC_CFG_SPID2,
     FieldEdit::AdvanceThenSuggest},
    {res::IDC_CFG_SPID2, Field::Spid2, 2, true, 0, 0, FieldEdit::Advance},
};
// m_edits holds the control of each row.
static_assert(std::size(kFieldEdits) == 8);

// `detail` is the system's reason, for the box's details; the message stays as it is.
void Tell(int stringId, const std::string& detail = {}) {
    platform::CurrentPrompter().Ask(res::LoadString(stringId), platform::Buttons::Ok,
                                    platform::Icon::None, detail);
}

// The splash is gone on every way out of the first query.
struct SplashScope {
    std::unique_ptr<summary::SplashDialog> splash;
    ~SplashScope() { Close(); }
    void Close() {
        if (splash) {
            splash->DestroyWindow();
            splash.reset();
        }
    }
};

}  // namespace

ConfigurationPage::ConfigurationPage(registry::Hive& hive)
    : pages::AnimatedPage(res::IDD_CONFIGURE), m_editor(*this, hive) {
    MapCommand(ui::BN_CLICKED, res::IDC_CFG_NEW, [this] { OnNew(); });
    MapCommand(ui::BN_CLICKED, res::IDC_CFG_REMOVE, [this] { OnRemove(); });
    MapCommand(ui::CBN_SELCHANGE, res::IDC_CFG_PROFILE, [this] { OnProfileChanged(); });
    for (std::size_t row = 0; row < m_edits.size(); ++row) {
        MapCommand(ui::EN_CHANGE, kFieldEdits[row].control, [this, row] { OnFieldChanged(row); });
    }
    MapCommand(ui::BN_CLICKED, res::IDC_CFG_CONFIG2, [this] { OnConfig2Clicked(); });
    MapCommand(ui::CBN_SELCHANGE, res::IDC_CFG_SWITCH, [this] { OnSwitchChanged(); });
}

void ConfigurationPage::SetStartProfile(const std::string& name) {
    m_editor.Fields().Location = name;
}

void ConfigurationPage::SetProgressWindowMaker(
    std::function<std::unique_ptr<link::ProgressWindow>()> make) {
    m_makeProgress = std::move(make);
}

summary::SummarySheet* ConfigurationPage::Sheet() const {
    return dynamic_cast<summary::SummarySheet*>(GetSheet());
}

link::ModemChannel* ConfigurationPage::Channel() const {
    summary::SummarySheet* sheet = Sheet();
    return sheet ? sheet->Channel() : nullptr;
}

link::WorkingProfile* ConfigurationPage::WorkingProfile() const {
    summary::SummarySheet* sheet = Sheet();
    return sheet ? sheet->WorkingProfile() : nullptr;
}

void ConfigurationPage::DoDataExchange(ui::DataExchange& dx) {
    pages::AnimatedPage::DoDataExchange(dx);
    store::Profile& fields = m_editor.Fields();
    ui::DDX_Control(dx, res::IDC_CFG_REMOVE, m_removeButton);
    ui::DDX_Control(dx, res::IDC_CFG_PROFILE, m_profileList);
    for (std::size_t row = 0; row < m_edits.size(); ++row) {
        ui::DDX_Control(dx, kFieldEdits[row].control, m_edits[row]);
    }
    ui::DDX_Control(dx, res::IDC_CFG_SWITCH, m_switchList);
    ui::DDX_CBString(dx, res::IDC_CFG_SWITCH, fields.Switch);
    for (const FieldEdit& edit : kFieldEdits) {
        ui::DDX_Text(dx, edit.control, m_editor.Text(edit.field));
    }
    ui::DDX_Check(dx, res::IDC_CFG_CONFIG2, fields.terminal2);
    ui::DDX_CBString(dx, res::IDC_CFG_PROFILE, fields.Location);
}

void ConfigurationPage::PushFields() {
    UpdateData(false);
    // An empty text would select the first entry by its empty prefix; nothing is chosen.
    if (Fields().Switch.empty()) {
        m_switchList.SetCurSel(-1);
    }
    if (Fields().Location.empty()) {
        m_profileList.SetCurSel(-1);
    }
}

void ConfigurationPage::StoreFailed(const std::string& reason) {
    Tell(res::IDS_REGISTRY_FAILED, reason);
}

void ConfigurationPage::ProfilesListed() {
    m_profileList.ResetContent();
    for (const std::string& name : m_editor.Names()) {
        m_profileList.AddString(name);
    }
}

void ConfigurationPage::ProfileUnlisted(const std::string& name) {
    int entry = m_profileList.FindStringExact(-1, name);
    if (entry != ui::ItemList::kError) {
        m_profileList.DeleteString(entry);
    }
}

void ConfigurationPage::RemovableChanged() {
    m_removeButton.EnableWindow(m_editor.Removable());
}

void ConfigurationPage::Terminal2Changed() {
    // Read-only, not disabled: the fields stay in the tab order and readable.
    for (std::size_t row = 0; row < m_edits.size(); ++row) {
        if (kFieldEdits[row].terminal == 2) {
            m_edits[row].SetReadOnly(!Fields().terminal2);
        }
    }
}

void ConfigurationPage::PortChanged() {
    if (summary::SummarySheet* sheet = Sheet()) {
        sheet->SetPortName(Fields().Port);
    }
}

bool ConfigurationPage::OnInitDialog() {
    pages::AnimatedPage::OnInitDialog();
    if (!m_editor.ListProfiles()) {
        return true;
    }
    m_editor.LoadStartProfile();
    CreateAnimation();
    return true;
}

void ConfigurationPage::Advance(int controlId) {
    FocusControl(ControlWidget(controlId));
}

bool ConfigurationPage::Checked(std::size_t row) {
    std::string& text = m_editor.Text(kFieldEdits[row].field);
    const int bad = ProfileEditor::FirstNonDigit(text);
    if (bad < 0) {
        return true;
    }
    Tell(res::IDS_NUMERIC_ENTRY);
    text[static_cast<std::size_t>(bad)] = ' ';
    PushFields();
    m_edits[row].SetSel(bad, bad + 1);
    return false;
}

void ConfigurationPage::OnFieldChanged(std::size_t row) {
    const FieldEdit& edit = kFieldEdits[row];
    UpdateData(true);
    const std::string& text = m_editor.Text(edit.field);
    if (edit.flagsEveryChange) {
        m_editor.SetModified(true);
    }
    if (text.empty() || !Checked(row)) {
        return;
    }
    m_editor.SetModified(true);
    if (edit.fullLength == 0 || text.size() < edit.fullLength) {
        return;
    }
    switch (edit.whenFull) {
        case FieldEdit::Advance:
            Advance(edit.next);
            break;
        case FieldEdit::SuggestThenAdvance:
            m_editor.SuggestSpid(edit.terminal);
            PushFields();
            Advance(edit.next);
            break;
        case FieldEdit::AdvanceThenSuggest:
            Advance(edit.next);
            m_editor.SuggestSpid(edit.terminal);
            PushFields();
            break;
    }
}

void ConfigurationPage::OnConfig2Clicked() {
    UpdateData(true);
    m_editor.SwitchTerminal2(Fields().terminal2);
    if (Fields().terminal2) {
        Advance(res::IDC_CFG_AREA2);
    }
    PushFields();
}

void ConfigurationPage::OnSwitchChanged() {
    m_editor.SetModified(true);
}

void ConfigurationPage::OnProfileChanged() {
    UpdateData(true);
    if (m_editor.Select()) {
        PushFields();
    }
}

void ConfigurationPage::OnNew() {
    m_editor.ClearList();
    link::ModemChannel* channel = Channel();
    link::WorkingProfile* working = WorkingProfile();
    const link::LineSettings windowLine = channel ? channel->Line() : link::LineSettings{};
    if (working) {
        // The wizard starts from the port and line this window uses.
        working->TakeLine(windowLine);
    }
    int result;
    {
        // Its pages fill the working profile this page takes the new profile from.
        wizard::WizardSheet wizard(res::Tr(kNewProfileCaption), nullptr, 0, channel, working);
        summary::SummarySheet* sheet = Sheet();
        ui::SheetRunner* runner = sheet ? sheet->SheetRunner() : nullptr;
        result = runner ? runner->RunSheet(wizard) : wizard.DoModal();
    }
    if (channel && working) {
        // A finished wizard's port is the one its profile names; one given up leaves the
        // window's, which " General" shows and Apply programs on.
        channel->SetLine(result == ui::ID_WIZFINISH ? working->Line() : windowLine);
    }
    if (result != ui::ID_WIZFINISH || !channel || !working) {
        m_editor.Relist();
    } else {
        m_editor.TakeNewProfile(working->Record());
    }
    PushFields();
    if (ui::PropertySheet* sheet = GetSheet(); sheet && sheet->Widget()) {
        sheet->Widget()->raise();
        sheet->Widget()->activateWindow();
    }
}

void ConfigurationPage::OnRemove() {
    UpdateData(true);
    if (m_editor.Remove()) {
        PushFields();
    }
}

bool ConfigurationPage::QueryCard() {
    summary::SummarySheet* sheet = Sheet();
    link::ModemChannel* channel = Channel();
    if (!sheet || !channel) {
        return true;
    }
    SplashScope splash;
    splash.splash = std::make_unique<summary::SplashDialog>(nullptr);
    splash.splash->Create();
    m_editor.SetIdentificationLine(*channel);
    std::string raw;
    link::LinkResult ended;
    const std::optional<link::IdentificationResult> found = ui::RunConversation(
        [channel, &raw, &ended] { return link::QueryIdentification(*channel, &raw, &ended); });
    if (!found) {
        return false;
    }
    switch (*found) {
        case link::IdentificationResult::Identified:
            sheet->SetRawIdentification(raw);
            return true;
        case link::IdentificationResult::PortNotOpened:
            splash.Close();
            sheet->SetActivePage(sheet->IndexOfTemplate(res::IDD_GENERAL));
            return false;
        case link::IdentificationResult::WrongCard:
            splash.Close();
            Tell(res::IDS_PORT_COMM_FAILED,
                 link::OutcomeDetail(link::CardConfigurationResult::WrongCard, *channel, {}));
            return false;
        case link::IdentificationResult::NoReply:
            splash.Close();
            Tell(res::IDS_PORT_COMM_FAILED, link::NoReplyDetail(*channel, ended.reason));
            return false;
    }
    return false;
}

bool ConfigurationPage::OnSetActive() {
    if (m_firstActivation) {
        std::istringstream types(res::LoadString(res::IDS_SWITCH_TYPES));
        for (std::string type; std::getline(types, type, ',');) {
            m_switchList.AddString(type);
        }
    }
    if (m_profileList.SelectString(-1, Fields().Location) == ui::ItemList::kError) {
        m_profileList.SetCurSel(0);
    }
    SetModified(true);
    if (m_firstActivation) {
        m_firstActivation = false;
        // The fields show while the card is asked, also when the activation is refused.
        PushFields();
        if (!QueryCard()) {
            return false;
        }
    }
    bool result = pages::AnimatedPage::OnSetActive();
    PushFields();
    RestartAnimation();
    return result;
}

bool ConfigurationPage::OnApply() {
    summary::SummarySheet* sheet = Sheet();
    link::ModemChannel* channel = Channel();
    UpdateData(true);
    if (!sheet || !channel) {
        return false;
    }
    std::unique_ptr<link::ProgressWindow> progress =
        m_makeProgress ? m_makeProgress() : std::make_unique<link::ProgressDialog>();
    const link::CardSettings settings = m_editor.ApplySettings(channel->Line().port);
    const std::optional<ApplyOutcome> ran =
        ui::RunConversation([this, channel, &progress, &settings] {
            return ProgramCard(*channel, *progress, settings, m_editor.Store());
        });
    if (!ran) {
        return false;
    }
    const ApplyOutcome& outcome = *ran;
    progress.reset();
    if (outcome.result != link::CardConfigurationResult::Applied) {
        const link::RunOutcomeHandling& handling = link::HandlingOf(outcome.result);
        if (handling.forgetSearch) {
            if (link::WorkingProfile* working = WorkingProfile()) {
                working->AutoDetect = false;
            }
        }
        platform::CurrentPrompter().Ask(
            link::OutcomeMessage(outcome.result, outcome.refusedField), platform::Buttons::Ok,
            platform::Icon::None,
            link::RunDetail(outcome.result, outcome.storeText, outcome.linkReason, *channel));
        // The profile is named on this page itself.
        if (handling.then == link::AfterRun::ChoosePort) {
            sheet->SetActivePage(sheet->IndexOfTemplate(res::IDD_GENERAL));
        }
        return false;
    }
    m_editor.Applied(channel->Line().port);
    bool result = pages::AnimatedPage::OnApply();
    // The sheet cleared it for Apply; set again so Apply stays on offer to program anew.
    SetModified(true);
    return result;
}

void ConfigurationPage::OnCancel() {
    summary::SummarySheet* sheet = Sheet();
    if (sheet && m_editor.Modified()) {
        UpdateData(true);
        std::string question = res::LoadString(res::IDS_PROFILE_PREFIX) + '"' + Fields().Location +
                               '"' + res::LoadString(res::IDS_PROFILE_NOT_APPLIED);
        if (platform::CurrentPrompter().Ask(question, platform::Buttons::YesNo) ==
            platform::Answer::Yes) {
            OnApply();
        }
    }
    pages::AnimatedPage::OnCancel();
}

}  // namespace zo::summary
