#include "summary/ui/CConfigPage.h"

#include <algorithm>
#include <memory>
#include <sstream>

#include "link/CardConfiguration.h"
#include "link/CardSettings.h"
#include "link/IdentificationQuery.h"
#include "link/ModemChannel.h"
#include "link/ui/ProgressDialog.h"
#include "platform/prompt/Prompter.h"
#include "platform/ui/Conversation.h"
#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "store/RegistryKey.h"
#include "summary/ui/CSummarySheet.h"
#include "summary/ui/SplashDialog.h"
#include "wizard/SpidSuggestion.h"
#include "wizard/ui/CWizardSheet.h"

namespace zo::summary {
namespace {

constexpr int kGeneralTab = 2;
constexpr const char* kNewProfileCaption = "NewSPID";

using store::HKEY_LOCAL_MACHINE;
using store::RegistryKey;

std::string CurrentKeyPath() {
    return store::WithoutTrailingBackslash(store::CurrentPath());
}

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

CConfigPage::CConfigPage() : pages::CAnimatedPage(res::IDD_CONFIGURE) {
    MapCommand(ui::BN_CLICKED, res::IDC_CFG_NEW, [this] { OnNew(); });
    MapCommand(ui::BN_CLICKED, res::IDC_CFG_REMOVE, [this] { OnRemove(); });
    MapCommand(ui::CBN_SELCHANGE, res::IDC_CFG_PROFILE, [this] { OnProfileChanged(); });
    MapCommand(ui::EN_CHANGE, res::IDC_CFG_AREA1, [this] { OnArea1Changed(); });
    MapCommand(ui::EN_CHANGE, res::IDC_CFG_EXCHANGE1, [this] { OnExchange1Changed(); });
    MapCommand(ui::EN_CHANGE, res::IDC_CFG_LINE1, [this] { OnLine1Changed(); });
    MapCommand(ui::EN_CHANGE, res::IDC_CFG_SPID1, [this] { OnSpid1Changed(); });
    MapCommand(ui::EN_CHANGE, res::IDC_CFG_AREA2, [this] { OnArea2Changed(); });
    MapCommand(ui::EN_CHANGE, res::IDC_CFG_EXCHANGE2, [this] { OnExchange2Changed(); });
    MapCommand(ui::EN_CHANGE, res::IDC_CFG_LINE2, [this] { OnLine2Changed(); });
    MapCommand(ui::EN_CHANGE, res::IDC_CFG_SPID2, [this] { OnSpid2Changed(); });
    MapCommand(ui::BN_CLICKED, res::IDC_CFG_CONFIG2, [this] { OnConfig2Clicked(); });
    MapCommand(ui::CBN_SELCHANGE, res::IDC_CFG_SWITCH, [this] { OnSwitchChanged(); });
}

summary::CSummarySheet* CConfigPage::Sheet() const {
    return dynamic_cast<summary::CSummarySheet*>(GetSheet());
}

link::ModemChannel* CConfigPage::Channel() const {
    summary::CSummarySheet* sheet = Sheet();
    return sheet ? sheet->m_pChannel : nullptr;
}

void CConfigPage::SetProfileModified(bool modified) {
    if (summary::CSummarySheet* sheet = Sheet()) {
        sheet->m_profileModified = modified;
    }
}

void CConfigPage::DoDataExchange(ui::DataExchange& dx) {
    pages::CAnimatedPage::DoDataExchange(dx);
    ui::DDX_Control(dx, res::IDC_CFG_REMOVE, m_removeButton);
    ui::DDX_Control(dx, res::IDC_CFG_PROFILE, m_profileList);
    ui::DDX_Control(dx, res::IDC_CFG_SPID2, m_spid2Edit);
    ui::DDX_Control(dx, res::IDC_CFG_SPID1, m_spid1Edit);
    ui::DDX_Control(dx, res::IDC_CFG_LINE2, m_line2Edit);
    ui::DDX_Control(dx, res::IDC_CFG_EXCHANGE2, m_exchange2Edit);
    ui::DDX_Control(dx, res::IDC_CFG_AREA2, m_area2Edit);
    ui::DDX_Control(dx, res::IDC_CFG_LINE1, m_line1Edit);
    ui::DDX_Control(dx, res::IDC_CFG_EXCHANGE1, m_exchange1Edit);
    ui::DDX_Control(dx, res::IDC_CFG_AREA1, m_area1Edit);
    ui::DDX_Control(dx, res::IDC_CFG_SWITCH, m_switchList);
    ui::DDX_CBString(dx, res::IDC_CFG_SWITCH, m_switchType);
    ui::DDX_Text(dx, res::IDC_CFG_AREA1, m_area1);
    ui::DDX_Text(dx, res::IDC_CFG_EXCHANGE1, m_exchange1);
    ui::DDX_Text(dx, res::IDC_CFG_LINE1, m_line1);
    ui::DDX_Text(dx, res::IDC_CFG_AREA2, m_area2);
    ui::DDX_Text(dx, res::IDC_CFG_EXCHANGE2, m_exchange2);
    ui::DDX_Text(dx, res::IDC_CFG_LINE2, m_line2);
    ui::DDX_Text(dx, res::IDC_CFG_SPID1, m_spid1);
    ui::DDX_Text(dx, res::IDC_CFG_SPID2, m_spid2);
    ui::DDX_Check(dx, res::IDC_CFG_CONFIG2, m_config2);
    ui::DDX_CBString(dx, res::IDC_CFG_PROFILE, m_profile);
}

void CConfigPage::PushFields() {
    UpdateData(false);
    // An empty text would select the first entry by its empty prefix; nothing is chosen.
    if (m_switchType.empty()) {
        m_switchList.SetCurSel(-1);
    }
    if (m_profile.empty()) {
        m_profileList.SetCurSel(-1);
    }
}

bool CConfigPage::OnInitDialog() {
    pages::CAnimatedPage::OnInitDialog();
    std::vector<std::string> names;
    if (!store::ListProfiles(&names).Ok()) {
        ReportRegistryFailure();
        return true;
    }
    if (names.size() == 1) {
        m_removeButton.EnableWindow(false);
    }
    for (const std::string& name : names) {
        m_profileList.AddString(name);
    }
    if (IsCurrentProfile(nullptr, nullptr)) {
        m_profile = store::ActiveProfileName();
    } else {
        SetProfileModified(true);
    }
    LoadProfile(m_profile);
    if (summary::CSummarySheet* sheet = Sheet()) {
        sheet->m_portName = m_port;
    }
    CreateAnimation();
    return true;
}

bool CConfigPage::IsCurrentProfile(RegistryKey* key, const std::string* name) {
    std::unique_ptr<RegistryKey> own;
    if (key) {
        if (!key->Reopen(HKEY_LOCAL_MACHINE, store::CurrentPath())) {
            ReportRegistryFailure();
            return true;
        }
    } else {
        own = std::make_unique<RegistryKey>(HKEY_LOCAL_MACHINE, store::CurrentPath());
        if (!own->m_open) {
            ReportRegistryFailure();
            return true;
        }
        key = own.get();
    }
    key->ReadSubkeys();
    if (!name) {
        return !key->m_results.empty();
    }
    return !key->m_results.empty() && store::SameProfileName(key->m_results.front(), *name);
}

bool CConfigPage::LoadProfile(const std::string& name) {
    RegistryKey key(HKEY_LOCAL_MACHINE, store::ProfilePath(name));
    if (!key.m_open) {
        ReportRegistryFailure();
        return false;
    }
    key.ReadValues();
    // Positions a short profile lacks read as empty.
    const store::Profile profile{key.m_results};
    m_loaded = profile;
    m_loadedName = name;
    m_switchType = profile.At(store::kSwitch);
    link::DirectoryNumberParts one = link::SplitDirectoryNumber(profile.At(store::kPhone1));
    m_area1 = one.area;
    m_exchange1 = one.exchange;
    m_line1 = one.line;
    m_spid1 = profile.At(store::kSpid1);
    m_port = profile.At(store::kPort);
    m_baud = profile.At(store::kBaud);
    m_bits = profile.At(store::kBits);
    m_parity = profile.At(store::kParity);
    m_stop = profile.At(store::kStop);
    m_flow = profile.At(store::kFlow);
    if (profile.HasTerminal2()) {
        link::DirectoryNumberParts two = link::SplitDirectoryNumber(profile.At(store::kPhone2));
        m_area2 = two.area;
        m_exchange2 = two.exchange;
        m_line2 = two.line;
        m_spid2 = profile.At(store::kSpid2);
        SetConfig2ReadOnly(false);
    } else {
        m_area2.clear();
        m_exchange2.clear();
        m_line2.clear();
        m_spid2.clear();
        SetConfig2ReadOnly(true);
    }
    if (summary::CSummarySheet* sheet = Sheet()) {
        sheet->m_portName = m_port;
    }
    if (!IsCurrentProfile(&key, &m_profile)) {
        SetProfileModified(true);
    }
    return true;
}

void CConfigPage::SetConfig2ReadOnly(bool readOnly) {
    for (ui::Edit* edit : {&m_area2Edit, &m_exchange2Edit, &m_line2Edit, &m_spid2Edit}) {
        edit->SetReadOnly(readOnly);
    }
    m_config2 = !readOnly;
}

void CConfigPage::ReportRegistryFailure() {
    Tell(res::IDS_REGISTRY_FAILED, store::RegistryFailureDetail());
}

void CConfigPage::ReportWriteFailure() {
    if (link::ModemChannel* channel = Channel()) {
        channel->AutoDetect = false;
    }
    Tell(res::IDS_PORT_WRITE_FAILED);
}

int CConfigPage::CheckDigits(std::string& field) {
    auto bad = std::find_if(field.begin(), field.end(), [](char c) { return c < '0' || c > '9'; });
    if (bad == field.end()) {
        return -1;
    }
    int index = static_cast<int>(bad - field.begin());
    Tell(res::IDS_NUMERIC_ENTRY);
    field[static_cast<std::size_t>(index)] = ' ';
    PushFields();
    return index;
}

void CConfigPage::Advance(int controlId) {
    GotoDlgCtrl(GetDlgItem(controlId));
}

bool CConfigPage::Checked(std::string& field, ui::Edit& edit) {
    int bad = CheckDigits(field);
    if (bad < 0) {
        return true;
    }
    edit.SetSel(bad, bad + 1);
    return false;
}

std::string CConfigPage::SuggestSpid(const std::string& area, const std::string& exchange,
                                     const std::string& line) const {
    return wizard::SuggestSpid(m_switchType, area, exchange, line).value_or(std::string());
}

void CConfigPage::OnArea1Changed() {
    UpdateData(true);
    if (m_area1.empty() || !Checked(m_area1, m_area1Edit)) {
        return;
    }
    SetProfileModified(true);
    if (m_area1.size() >= 3) {
        Advance(res::IDC_CFG_EXCHANGE1);
    }
}

void CConfigPage::OnExchange1Changed() {
    UpdateData(true);
    if (m_exchange1.empty() || !Checked(m_exchange1, m_exchange1Edit)) {
        return;
    }
    SetProfileModified(true);
    if (m_exchange1.size() >= 3) {
        Advance(res::IDC_CFG_LINE1);
    }
}

void CConfigPage::OnLine1Changed() {
    UpdateData(true);
    if (m_line1.empty() || !Checked(m_line1, m_line1Edit)) {
        return;
    }
    SetProfileModified(true);
    if (m_line1.size() >= 4) {
        std::string spid = SuggestSpid(m_area1, m_exchange1, m_line1);
        if (!spid.empty()) {
            m_spid1 = spid;
        }
        PushFields();
        Advance(res::IDC_CFG_CONFIG2);
    }
}

void CConfigPage::OnSpid1Changed() {
    UpdateData(true);
    SetProfileModified(true);
    if (!m_spid1.empty()) {
        Checked(m_spid1, m_spid1Edit);
    }
}

void CConfigPage::OnArea2Changed() {
    UpdateData(true);
    SetProfileModified(true);
    if (!m_area2.empty() && Checked(m_area2, m_area2Edit) && m_area2.size() >= 3) {
        Advance(res::IDC_CFG_EXCHANGE2);
    }
}

void CConfigPage::OnExchange2Changed() {
    UpdateData(true);
    SetProfileModified(true);
    if (!m_exchange2.empty() && Checked(m_exchange2, m_exchange2Edit) && m_exchange2.size() >= 3) {
        Advance(res::IDC_CFG_LINE2);
    }
}

void CConfigPage::OnLine2Changed() {
    UpdateData(true);
    SetProfileModified(true);
    if (!m_line2.empty() && Checked(m_line2, m_line2Edit) && m_line2.size() >= 4) {
        Advance(res::IDC_CFG_SPID2);
        std::string spid = SuggestSpid(m_area2, m_exchange2, m_line2);
        if (!spid.empty()) {
            m_spid2 = spid;
        }
        PushFields();
    }
}

void CConfigPage::OnSpid2Changed() {
    UpdateData(true);
    SetProfileModified(true);
    if (!m_spid2.empty()) {
        Checked(m_spid2, m_spid2Edit);
    }
}

void CConfigPage::OnConfig2Clicked() {
    UpdateData(true);
    SetProfileModified(true);
    if (m_config2) {
        SetConfig2ReadOnly(false);
        Advance(res::IDC_CFG_AREA2);
    } else {
        m_area2.clear();
        m_exchange2.clear();
        m_line2.clear();
        m_spid2.clear();
        SetConfig2ReadOnly(true);
    }
    PushFields();
}

void CConfigPage::OnSwitchChanged() {
    SetProfileModified(true);
}

void CConfigPage::OnProfileChanged() {
    UpdateData(true);
    if (LoadProfile(m_profile)) {
        SetConfig2ReadOnly(m_area2.empty());
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, CurrentKeyPath());
    if (!key.m_open) {
        ReportRegistryFailure();
        return;
    }
    key.ReadSubkeys();
    if (key.m_results.empty()) {
        SetProfileModified(true);
    } else if (key.m_results.front() == m_profile) {
        SetProfileModified(false);
    }
    PushFields();
}

void CConfigPage::OnNew() {
    m_profileList.ResetContent();
    int result;
    {
        // Its pages fill the channel this page takes the new profile from.
        wizard::CWizardSheet wizard(kNewProfileCaption, nullptr, 0, Channel());
        summary::CSummarySheet* sheet = Sheet();
        ui::SheetRunner* runner = sheet ? sheet->m_sheetRunner : nullptr;
        result = runner ? runner->RunSheet(wizard) : wizard.DoModal();
    }
    auto addProfiles = [this](const std::vector<std::string>& names) {
        if (!m_profile.empty()) {
            m_profileList.AddString(m_profile);
        }
        for (const std::string& name : names) {
            if (name != m_profile) {
                m_profileList.AddString(name);
            }
        }
    };
    link::ModemChannel* channel = Channel();
    if (result != ui::ID_WIZFINISH || !channel) {
        std::vector<std::string> names;
        if (!store::ListProfiles(&names).Ok()) {
            ReportRegistryFailure();
        } else {
            addProfiles(names);
        }
    } else {
        m_profile = channel->Location;
        m_switchType = channel->Switch;
        m_spid1 = channel->SPID1;
        m_spid2 = channel->SPID2;
        link::DirectoryNumberParts one = link::SplitDirectoryNumber(channel->Phone1);
        m_area1 = one.area;
        m_exchange1 = one.exchange;
        m_line1 = one.line;
        link::DirectoryNumberParts two = link::SplitDirectoryNumber(channel->Phone2);
        m_area2 = two.area;
        m_exchange2 = two.exchange;
        m_line2 = two.line;
        m_port = channel->Port;
        m_baud = channel->Baud;
        m_bits = channel->Bits;
        m_parity = channel->Parity;
        m_stop = channel->Stop;
        m_flow = channel->Flow;
        if (summary::CSummarySheet* sheet = Sheet()) {
            sheet->m_portName = m_port;
        }
        SetConfig2ReadOnly(m_spid2.empty());
        m_loaded = store::ReadProfile(m_profile);
        m_loadedName = m_profile;
        std::vector<std::string> names;
        if (!store::ListProfiles(&names).Ok()) {
            ReportRegistryFailure();
        } else {
            m_removeButton.EnableWindow(names.size() >= 2);
        }
        addProfiles(names);
        SetProfileModified(!IsCurrentProfile(nullptr, &m_profile));
    }
    PushFields();
    if (ui::PropertySheet* sheet = GetSheet(); sheet && sheet->GetSafeHwnd()) {
        sheet->GetSafeHwnd()->raise();
        sheet->GetSafeHwnd()->activateWindow();
    }
}

void CConfigPage::OnRemove() {
    UpdateData(true);
    const store::StoreResult removed = store::RemoveProfile(m_profile);
    switch (removed.status) {
        case store::StoreStatus::Ok:
        case store::StoreStatus::NotFound:  // another program removed it first
            break;
        case store::StoreStatus::LastProfile:
            // The last profile stays: the page always shows one.
            m_removeButton.EnableWindow(false);
            return;
        case store::StoreStatus::Invalid:
        case store::StoreStatus::Changed:
        case store::StoreStatus::Failed:
            ReportRegistryFailure();
            return;
    }
    std::vector<std::string> names;
    if (!store::ListProfiles(&names).Ok() || names.empty()) {
        ReportRegistryFailure();
        return;
    }
    m_removeButton.EnableWindow(names.size() >= 2);
    int entry = m_profileList.FindStringExact(-1, m_profile);
    if (entry != ui::ItemList::kError) {
        m_profileList.DeleteString(entry);
    }
    const std::string next = names.front();
    m_profile.clear();
    LoadProfile(next);
    m_profile = next;
    PushFields();
}

bool CConfigPage::QueryCard() {
    summary::CSummarySheet* sheet = Sheet();
    link::ModemChannel* channel = Channel();
    if (!sheet || !channel) {
        return true;
    }
    SplashScope splash;
    splash.splash = std::make_unique<summary::SplashDialog>(nullptr);
    splash.splash->Create();
    link::SetQuerySettings(*channel, m_port);
    summary::CardConversation conversation(*sheet);
    std::string raw;
    const link::IdentificationResult found =
        ui::RunConversation([channel, &raw] { return link::QueryIdentification(*channel, &raw); });
    switch (found) {
        case link::IdentificationResult::Identified:
            sheet->m_rawIdentification = raw;
            return true;
        case link::IdentificationResult::PortNotOpened:
            splash.Close();
            sheet->SetActivePage(kGeneralTab);
            return false;
        case link::IdentificationResult::WrongCard:
            splash.Close();
            Tell(res::IDS_PORT_COMM_FAILED, channel->PortError());
            return false;
        case link::IdentificationResult::NoReply:
            splash.Close();
            Tell(res::IDS_PORT_COMM_FAILED, link::NoReplyDetail(*channel));
            return false;
    }
    return false;
}

bool CConfigPage::OnSetActive() {
    if (m_firstActivation) {
        std::istringstream types(res::LoadString(res::IDS_SWITCH_TYPES));
        for (std::string type; std::getline(types, type, ',');) {
            m_switchList.AddString(type);
        }
    }
    if (m_profileList.SelectString(-1, m_profile) == ui::ItemList::kError) {
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
    bool result = pages::CAnimatedPage::OnSetActive();
    PushFields();
    RestartAnimation();
    return result;
}

bool CConfigPage::OnApply() {
    summary::CSummarySheet* sheet = Sheet();
    link::ModemChannel* channel = Channel();
    UpdateData(true);
    if (!sheet || !channel) {
        return false;
    }
    // A refresh requested meanwhile waits: Apply's commands go to the card undisturbed.
    summary::CardConversation conversation(*sheet);
    std::unique_ptr<link::ProgressWindow> progress =
        m_makeProgress ? m_makeProgress() : std::make_unique<link::ProgressDialog>();

    link::CardSettings settings;
    settings.switchType = m_switchType;
    settings.number1 = m_exchange1 + m_line1;
    settings.spid1 = m_spid1;
    settings.number2 = m_exchange2 + m_line2;
    settings.spid2 = m_spid2;
    settings.flowCommand = link::kConfigPageFlowCommand;
    settings.location = m_profile;
    // The profile keeps the port the card is programmed on, which the " General" page may
    // have changed since the profile was loaded.
    settings.record = FieldsRecord();
    settings.record->Port = channel->Port;
    // What Apply may save over: the profile as this page read it.
    settings.readBefore =
        store::SameProfileName(m_loadedName, m_profile) ? m_loaded : store::ReadProfile(m_profile);

    link::CardConfiguration run(*channel, *progress, link::ProgressSteps::ConfigurationPage);
    const link::CardConfigurationResult outcome =
        ui::RunConversation([&run, &settings] { return run.Run(settings); });
    switch (outcome) {
        case link::CardConfigurationResult::Applied:
            break;
        case link::CardConfigurationResult::PortNotOpened:
            Tell(res::IDS_PORT_UNSUPPORTED, link::OutcomeDetail(outcome, *channel));
            progress.reset();
            sheet->SetActivePage(kGeneralTab);
            return false;
        case link::CardConfigurationResult::NoReply:
        case link::CardConfigurationResult::WrongCard:
            progress.reset();
            Tell(outcome == link::CardConfigurationResult::NoReply ? res::IDS_PORT_UNSUPPORTED
                                                                   : res::IDS_PORT_COMM_FAILED,
                 link::OutcomeDetail(outcome, *channel));
            sheet->SetActivePage(kGeneralTab);
            return false;
        case link::CardConfigurationResult::WriteFailed:
            progress.reset();
            ReportWriteFailure();
            return false;
        case link::CardConfigurationResult::RegistryFailed:
            progress.reset();
            ReportRegistryFailure();
            return false;
        case link::CardConfigurationResult::ProfileChanged:
            progress.reset();
            platform::CurrentPrompter().Ask(link::OutcomeMessage(outcome, {}),
                                            platform::Buttons::Ok, platform::Icon::None,
                                            run.StoreOutcome().text);
            return false;
        case link::CardConfigurationResult::UnsafeValue:
        case link::CardConfigurationResult::Refused:
            progress.reset();
            platform::CurrentPrompter().Ask(link::OutcomeMessage(outcome, run.RefusedField()),
                                            platform::Buttons::Ok, platform::Icon::None,
                                            link::OutcomeDetail(outcome, *channel));
            return false;
    }

    m_port = channel->Port;
    sheet->m_portName = m_port;
    progress.reset();
    m_loaded = store::ReadProfile(m_profile);
    m_loadedName = m_profile;
    SetProfileModified(false);
    bool result = pages::CAnimatedPage::OnApply();
    SetModified(true);
    return result;
}

store::ProfileRecord CConfigPage::FieldsRecord() const {
    store::ProfileRecord record;
    record.Location = m_profile;
    record.Switch = m_switchType;
    record.Phone1 = m_area1 + m_exchange1 + m_line1;
    record.SPID1 = m_spid1;
    record.Port = m_port;
    record.Baud = m_baud;
    record.Bits = m_bits;
    record.Parity = m_parity;
    record.Stop = m_stop;
    record.Flow = m_flow;
    record.terminal2 = m_config2;
    if (m_config2) {
        record.Phone2 = m_area2 + m_exchange2 + m_line2;
        record.SPID2 = m_spid2;
    }
    return record;
}

void CConfigPage::OnCancel() {
    summary::CSummarySheet* sheet = Sheet();
    if (sheet && sheet->m_profileModified) {
        UpdateData(true);
        std::string question = res::LoadString(res::IDS_PROFILE_PREFIX) + '"' + m_profile + '"' +
                               res::LoadString(res::IDS_PROFILE_NOT_APPLIED);
        if (platform::CurrentPrompter().Ask(question, platform::Buttons::YesNo) ==
            platform::Answer::Yes) {
            OnApply();
        }
    }
    pages::CAnimatedPage::OnCancel();
}

}  // namespace zo::summary
