#pragma once

#include <memory>
#include <string>

#include "link/CardSettings.h"
#include "link/ModemChannel.h"
#include "link/ProgressWindow.h"
#include "platform/registry/Hive.h"
#include "store/StoreResult.h"

namespace zo::link {

enum class CardConfigurationResult {
    Applied,
    PortNotOpened,
    NoReply,
    WrongCard,
    WriteFailed,
    RegistryFailed,
    // Another program removed or changed the profile while the card was programmed; the
    // store was left as that program left it.
    ProfileChanged,
    // A value would have injected commands into the card; nothing was sent or stored.
    UnsafeValue,
    // The card answered "ERROR" to a programming command; nothing further was sent and
    // the profile is not recorded as applied.
    Refused,
};

// Where the progress bar steps: the wizard's ten points or the configuration page's eleven.
enum class ProgressSteps { Wizard, ConfigurationPage };

// The AT script that writes one profile into the card, then records it as applied and
// saves it in one store transaction.
// Seams: the hive handed in (the applied save; the default hive unless given) and, through the
// channel, the clock, the port map and the prompter (messages 111 and 109 when the port cannot be
// opened, 110 when a write fails). The outcome's message is the caller's to show. Thread: the
// caller's; in the windows the conversation worker, which steps the progress window from there.
class CardConfiguration {
public:
    CardConfiguration(link::ModemChannel& channel, link::ProgressWindow& progress,
                      ProgressSteps steps, registry::Hive& hive = registry::DefaultHive());

    CardConfigurationResult Run(const CardSettings& settings);

    // After RegistryFailed or ProfileChanged: what the store said.
    const store::StoreResult& StoreOutcome() const { return m_storeOutcome; }
    // After UnsafeValue: the refused value's name as the user knows it ("SPID 1"); after
    // Refused: the command the card refused, without its line end.
    const std::string& RefusedField() const { return m_refusedField; }
    // How the channel's last open, write or read of the run ended, and why: the reason
    // behind PortNotOpened, NoReply and WriteFailed.
    const LinkResult& LinkOutcome() const { return m_link; }

    // "AT!C0=..." for the three switch types; empty for any other text.
    static std::string SwitchCommand(const std::string& switchType);
    // The head, the value between double quotes, then CR LF.
    static std::string ParameterCommand(const char* head, const std::string& value);

private:
    CardConfigurationResult Program(const CardSettings& settings);
    CardConfigurationResult Script(const CardSettings& settings);
    bool Send(const std::string& text, bool pause);
    // Send for a command whose answer decides the run: what came before is dropped first.
    bool SendDeciding(const std::string& text, bool pause);
    void ReadToOk();
    // Reads the answer to a programming command, after its echo when `echoed`: false when
    // the card refused it, with the command kept for the message.
    bool Accepted(const std::string& command, bool echoed = false);

    link::ModemChannel& m_channel;
    link::ProgressWindow& m_progress;
    ProgressSteps m_steps;
    registry::Hive& m_hive;
    store::StoreResult m_storeOutcome;
    std::string m_refusedField;
    LinkResult m_link;
    std::string m_reply;
    // The channel's count of device opens when the script began; another count means the
    // card went away and came back, and has not heard the commands sent before.
    int m_opens = 0;
    bool m_relinked = false;
};

// The message the configuration page shows for an outcome other than Applied; the
// wizard shows the same except for PortNotOpened, where it asks the Missing Card question.
// `refusedField` is RefusedField() of the run.
std::string OutcomeMessage(CardConfigurationResult result, const std::string& refusedField);
// The reason behind that message, for its detail text: the device and the system's error
// for a port; empty where there is none (for the registry, StoreOutcome() holds it).
// `linkReason` is LinkOutcome().reason of the run.
std::string OutcomeDetail(CardConfigurationResult result, const link::ModemChannel& channel,
                          const std::string& linkReason);

}  // namespace zo::link
