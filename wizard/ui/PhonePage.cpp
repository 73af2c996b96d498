#include "wizard/ui/PhonePage.h"

#include <QApplication>
#include <QLineEdit>

#include "link/PortScan.h"
#include "platform/ui/conversation/Conversation.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "wizard/CancelQuestion.h"
#include "wizard/SpidSuggestion.h"
#include "wizard/TextChars.h"

namespace zo::wizard {

namespace {
constexpr const char* kNumbersOptionalSwitch = "AT&T 5ESS Custom";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
}  // namespace

PhonePage::PhonePage(link::ModemChannel* channel, link::WorkingProfile* profile)
    : pages::AnimatedPage(res::IDD_PHONE), m_channel(channel), m_profile(profile) {
    static const NumberField kArea1{&PhonePage::m_area1, &PhonePage::m_area1Edit, 3,
                                    &PhonePage::m_exchange1Edit};
    static const NumberField kExchange1{&PhonePage::m_exchange1, &PhonePage::m_exchange1Edit, 3,
                                        &PhonePage::m_line1Edit};
    static const NumberField kArea2{&PhonePage::m_area2, &PhonePage::m_area2Edit, 3,
                                    &PhonePage::m_exchange2Edit};
    static const NumberField kExchange2{&PhonePage::m_exchange2, &PhonePage::m_exchange2Edit, 3,
                                        &PhonePage::m_line2Edit};
    MapCommand(ui::EN_UPDATE, res::IDC_AREA1, [this] { OnNumberUpdate(kArea1); });
    MapCommand(ui::EN_UPDATE, res::IDC_EXCHANGE1, [this] { OnNumberUpdate(kExchange1); });
    MapCommand(ui::EN_UPDATE, res::IDC_LINE1, [this] { OnLineUpdate(1); });
    MapCommand(ui::EN_UPDATE, res::IDC_AREA2, [this] { OnNumberUpdate(kArea2); });
    MapCommand(ui::EN_UPDATE, res::IDC_EXCHANGE2, [this] { OnNumberUpdate(kExchange2); });
    MapCommand(ui::EN_UPDATE, res::IDC_LINE2, [this] { OnLineUpdate(2); });
    MapCommand(ui::EN_CHANGE, res::IDC_SPID1, [this] { OnSpidChange(1); });
    MapCommand(ui::EN_CHANGE, res::IDC_SPID2, [this] { OnSpidChange(2); });
    MapCommand(ui::EN_KILLFOCUS, res::IDC_SPID1, [this] { OnSpidKillFocus(1); });
    MapCommand(ui::EN_KILLFOCUS, res::IDC_SPID2, [this] { OnSpidKillFocus(2); });
}

void PhonePage::DoDataExchange(ui::DataExchange& dx) {
    ui::DDX_Control(dx, res::IDC_SPID2, m_spid2Edit);
    ui::DDX_Control(dx, res::IDC_SPID1, m_spid1Edit);
    ui::DDX_Control(dx, res::IDC_LINE2, m_line2Edit);
    ui::DDX_Control(dx, res::IDC_LINE1, m_line1Edit);
    ui::DDX_Control(dx, res::IDC_EXCHANGE1, m_exchange1Edit);
    ui::DDX_Control(dx, res::IDC_EXCHANGE2, m_exchange2Edit);
    ui::DDX_Control(dx, res::IDC_AREA2, m_area2Edit);
    ui::DDX_Control(dx, res::IDC_AREA1, m_area1Edit);
    ui::DDX_Text(dx, res::IDC_AREA1, m_area1);
    ui::DDX_Text(dx, res::IDC_AREA2, m_area2);
    ui::DDX_Text(dx, res::IDC_LINE1, m_line1);
    ui::DDX_Text(dx, res::IDC_LINE2, m_line2);
    ui::DDX_Text(dx, res::IDC_EXCHANGE1, m_exchange1);
    ui::DDX_Text(dx, res::IDC_EXCHANGE2, m_exchange2);
    ui::DDX_Text(dx, res::IDC_SPID1, m_spid1Entry);
    ui::DDX_Text(dx, res::IDC_SPID2, m_spid2Entry);
}

bool PhonePage::OnInitDialog() {
    pages::AnimatedPage::OnInitDialog();
    CreateAnimation();
    return true;
}

bool PhonePage::OnSetActive() {
    pages::AnimatedPage::OnSetActive();
    GetSheet()->SetWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    m_numbersOptional = m_profile->Switch == kNumbersOptionalSwitch ? 1 : 0;
    RestartAnimation();
    UpdateData(false);
    return true;
}

void PhonePage::PushMembers() {
    auto* typing = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!typing || !Widget() || !Widget()->isAncestorOf(typing)) {
        UpdateData(false);
        return;
    }
    const QString before = typing->text();
    const int caret = typing->cursorPosition();
    UpdateData(false);
    if (typing->text() == before) {
        typing->setCursorPosition(caret);
    }
}

bool PhonePage::CheckDigits(std::string& text, ui::Edit& edit) {
    std::size_t bad = 0;
    while (bad < text.size() && IsDigit(text[bad])) {
        ++bad;
    }
    if (bad == text.size()) {
        return true;
    }
    ShowMessage(res::IDS_NUMERIC_ENTRY);
    // Only digits stand before it, so its byte offset is also its place in the field.
    BlankCharAt(text, bad);
    PushMembers();
    edit.SetSel(static_cast<int>(bad), static_cast<int>(bad) + 1);
    return false;
}

void PhonePage::OnNumberUpdate(const NumberField& field) {
    if (!UpdateData(true)) {
        return;
    }
    std::string& text = this->*field.text;
    if (!CheckDigits(text, this->*field.edit)) {
        return;
    }
    if (text.size() >= field.fullLength) {
        (this->*field.next).SetFocus();
    }
}

void PhonePage::OnLineUpdate(int terminal) {
    if (!UpdateData(true)) {
        return;
    }
    std::string& line = terminal == 1 ? m_line1 : m_line2;
    if (!CheckDigits(line, terminal == 1 ? m_line1Edit : m_line2Edit)) {
        return;
    }
    if (line.size() < 4) {
        PushMembers();
        return;
    }
    SuggestSpid(terminal);
    PushMembers();
    // Terminal 1 skips its own SPID field for the second number; terminal 2 goes on to
    // its SPID, the next field in tab order.
    if (terminal == 1) {
        m_area2Edit.SetFocus();
    } else {
        FocusControl(m_spid2Edit.Widget());
    }
}

void PhonePage::SuggestSpid(int terminal) {
    std::optional<std::string> spid =
        terminal == 1 ? wizard::SuggestSpid(m_profile->Switch, m_area1, m_exchange1, m_line1)
                      : wizard::SuggestSpid(m_profile->Switch, m_area2, m_exchange2, m_line2);
    if (spid) {
        (terminal == 1 ? m_spid1Entry : m_spid2Entry) = *spid;
    }
}

void PhonePage::OnSpidChange(int terminal) {
    if (!UpdateData(true)) {
        return;
    }
    std::string& spid = terminal == 1 ? m_spid1Entry : m_spid2Entry;
    for (std::size_t i = 0; i < spid.size(); ++i) {
        if (IsDigit(spid[i])) {
            continue;
        }
        if (m_alphaWarningPending) {
            m_alphaWarningPending = 0;
            ShowMessage(res::IDS_SPID_ALPHA);
        }
        if (IsLetter(spid[i])) {
            PushMembers();
            continue;
        }
        // Only digits and letters stand before it: its byte offset is its place.
        BlankCharAt(spid, i);
        PushMembers();
        (terminal == 1 ? m_spid1Edit : m_spid2Edit)
            .SetSel(static_cast<int>(i), static_cast<int>(i) + 1);
        return;
    }
}

void PhonePage::OnSpidKillFocus(int terminal) {
    // Leaving the page hides it and moves the focus too; that is no leaving of the field
    // the user could come back to.
    if (!Widget() || !Widget()->isVisible() || !UpdateData(true)) {
        return;
    }
    if (terminal == 2 && (m_area2.empty() || m_exchange2.empty())) {
        return;
    }
    const std::size_t length = CharCount(terminal == 1 ? m_spid1Entry : m_spid2Entry);
    if (length < 10 || length > 20) {
        ShowMessage(res::IDS_SPID_REQUIRED);
        FocusControl((terminal == 1 ? m_spid1Edit : m_spid2Edit).Widget());
    }
}

bool PhonePage::IsShort(const std::string& text, std::size_t length, ui::Edit& edit) {
    if (CharCount(text) >= length) {
        return false;
    }
    ShowMessage(res::IDS_PHONE_REQUIRED);
    edit.SetFocus();
    return true;
}

int PhonePage::OnWizardNext() {
    UpdateData(true);
    if (!m_numbersOptional &&
        (IsShort(m_area1, 3, m_area1Edit) || IsShort(m_exchange1, 3, m_exchange1Edit) ||
         IsShort(m_line1, 4, m_line1Edit))) {
        return -1;
    }
    m_profile->Phone1 = m_area1 + m_exchange1 + m_line1;
    m_profile->SPID1 = m_spid1Entry;

    if (!m_line2.empty() || !m_exchange2.empty() || !m_area2.empty()) {
        if (!m_numbersOptional &&
            (IsShort(m_area2, 3, m_area2Edit) || IsShort(m_exchange2, 3, m_exchange2Edit) ||
             IsShort(m_line2, 4, m_line2Edit))) {
            return -1;
        }
        m_profile->TerminalCount = 2;
        m_profile->Phone2 = m_area2 + m_exchange2 + m_line2;
        m_profile->SPID2 = m_spid2Entry;
    } else {
        m_area2.clear();
        m_exchange2.clear();
        m_line2.clear();
        m_profile->TerminalCount = 1;
        m_profile->Phone2.clear();
        m_profile->SPID2.clear();
    }

    if (!m_profile->AutoDetect) {
        return 0;
    }
    link::ModemChannel& channel = *m_channel;
    channel.SetLine(m_profile->Line());
    const bool found = ui::RunConversation([&channel] {
                           return link::ScanPorts(channel, link::ScanCaller::Wizard);
                       }).value_or(false);
    // The port found, or the last one tried, with the detection settings.
    m_profile->TakeLine(channel.Line());
    if (found) {
        GetSheet()->SetActivePage(GetSheet()->IndexOfTemplate(res::IDD_COMMIT));
        return 0;
    }
    m_profile->AutoDetect = false;
    return 0;
}

bool PhonePage::OnQueryCancel() {
    return ConfirmWizardCancel();
}

}  // namespace zo::wizard
