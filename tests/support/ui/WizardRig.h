#pragma once

#include <QLineEdit>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "cardsim/InProcessCard.h"
#include "link/ModemChannel.h"
#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "store/ProfileStore.h"
#include "support/ScriptedPrompter.h"
#include "support/TestStore.h"
#include "support/ui/RecordingHelp.h"
#include "wizard/ui/WizardSheet.h"

namespace zo::test {

// The first-time wizard on its own store, a virtual clock, a port map in which no port
// exists until a test plugs the in-process card into one, and a scripted prompter. The
// channel is handed the clock and the port map; they are also in force for the rest of the
// windows, and the scripted prompter is, behind each conversation's proxy.
class WizardRig {
public:
    WizardRig();
    ~WizardRig();
    WizardRig(const WizardRig&) = delete;
    WizardRig& operator=(const WizardRig&) = delete;

    // Makes the sheet and shows its first page, active so that the focus moves.
    void Open();
    void PlugCard(const std::string& port) { ports.MapToDevice(port, card.Opener()); }

    void Next();
    void Back();
    void Finish();
    void Cancel();
    int Page() const { return sheet->GetActiveIndex(); }
    bool Ended() const { return sheet->HasEnded(); }

    // A control of the active page.
    QWidget* Control(int id) const;
    QLineEdit* Edit(int id) const;
    // Sets an edit's text as the user's typing would, one notification in all.
    void SetText(int id, const QString& text);
    // Types each character into whatever field has the focus at that moment.
    void TypeAtFocus(const QString& text);
    // The id of the control with the focus on the active page, or 0.
    int FocusId() const;
    // Moves the focus into a field as a click would (its kill-focus notifications run).
    void FocusOn(int id);

    // Shortcuts through the first pages: the name kept, detection on or off.
    void ToPhonePage(bool detect);
    // Types a ten-digit number into terminal 1 (or 2) with the suggestion accepted.
    void TypeNumber(int terminal, const QString& digits);

    // The texts shown so far, cleared.
    std::vector<std::string> TakeTexts();
    std::vector<std::string> CurrentSubkeys() const;
    std::vector<std::string> ProfileNames() const { return store::ListProfileNames().Value(); }
    store::Profile Stored(const std::string& name) const {
        return store::ReadProfile(name).Value();
    }
    // Whether a "Progress" window is still on the screen.
    static bool ProgressWindowShown();

    TestStore storeFile;
    platform::VirtualClock clock;
    comm::PortMap ports;
    ScriptedPrompter prompter;
    RecordingHelp help;
    cardsim::InProcessCard card{clock};
    link::ModemChannel channel{{&clock, &ports, nullptr}};
    link::WorkingProfile profile;
    std::unique_ptr<wizard::WizardSheet> sheet;

private:
    platform::Clock* m_previousClock;
    comm::PortMap* m_previousPorts;
};

// The text of a string-table entry.
std::string Text(int id);

}  // namespace zo::test
