#pragma once

#include <string>

#include "link/ModemChannel.h"
#include "link/WorkingProfile.h"
#include "pages/AnimatedPage.h"
#include "platform/ui/controls/Controls.h"

namespace zo::wizard {

// The wizard's third page: the directory numbers and SPIDs of the card's two logical
// terminals. It helps the typing (digits only, the focus moves on when a field is full,
// the SPID is proposed from the number) and, with detection on, looks for the card on
// the COM ports before the wizard moves on.
// Seams: the prompter (messages 104, 127 and 112 as the fields are filled in, 105 at
// Next, 108 at Cancel). User-interface thread, except the search: a card conversation on the
// conversation worker, with the clock, the port map and message 121 when it finds nothing.
class PhonePage : public pages::AnimatedPage {
public:
    PhonePage(link::ModemChannel* channel, link::WorkingProfile* profile);

    bool OnSetActive() override;
    int OnWizardNext() override;
    bool OnQueryCancel() override;

    ui::Edit m_spid2Edit;
    ui::Edit m_spid1Edit;
    ui::Edit m_line2Edit;
    ui::Edit m_line1Edit;
    ui::Edit m_exchange1Edit;
    ui::Edit m_exchange2Edit;
    ui::Edit m_area2Edit;
    ui::Edit m_area1Edit;
    std::string m_area1;
    std::string m_area2;
    std::string m_line1;
    std::string m_line2;
    std::string m_exchange1;
    std::string m_exchange2;
    std::string m_spid1Entry;
    std::string m_spid2Entry;
    link::ModemChannel* m_channel;
    link::WorkingProfile* m_profile;
    int m_alphaWarningPending = 1;
    int m_numbersOptional = 0;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    // One number field: its text, its control, how long it is when full and where the
    // focus goes then.
    struct NumberField {
        std::string PhonePage::*text;
        ui::Edit PhonePage::*edit;
        std::size_t fullLength;
        ui::Edit PhonePage::*next;
    };

    void OnNumberUpdate(const NumberField& field);
    void OnLineUpdate(int terminal);
    void OnSpidChange(int terminal);
    void OnSpidKillFocus(int terminal);
    // Blanks and selects the first character of the field that is not a digit, after
    // message 104; true when every character is a digit.
    bool CheckDigits(std::string& text, ui::Edit& edit);
    void SuggestSpid(int terminal);
    // Pushes the members into the controls, keeping the caret of the field being typed in
    // when its text stays the same.
    void PushMembers();
    // Refuses Next when the field is shorter than `length`: message 105, focus on it.
    bool IsShort(const std::string& text, std::size_t length, ui::Edit& edit);
};

}  // namespace zo::wizard
