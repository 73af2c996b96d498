#include "link/CardConfiguration.h"

#include <array>
#include <utility>

#include "link/IdentificationQuery.h"
#include "res/Strings.h"
#include "res/Translation.h"
#include "store/AppliedSave.h"
#include "store/ProfileStore.h"

namespace zo::link {

CardConfiguration::CardConfiguration(link::ModemChannel& channel, link::ProgressWindow& progress,
                                     ProgressSteps steps, registry::Hive& hive)
    : m_channel(channel), m_progress(progress), m_steps(steps), m_hive(hive) {}

std::string CardConfiguration::SwitchCommand(const std::string& switchType) {
    if (switchType == "AT&T 5ESS Custom") {
        return "AT!C0=0\r\n";
    }
    if (switchType == "Northern Telecom (Nortel) DMS100 Custom") {
        return "AT!C0=1\r\n";
    }
    if (switchType == "National ISDN-1 (NI-1)") {
        return "AT!C0=32\r\n";
    }
    return {};
}

std::string CardConfiguration::ParameterCommand(const char* head, const std::string& value) {
    return std::string(head) + '"' + value + "\"\r\n";
}

bool CardConfiguration::Send(const std::string& text, bool pause) {
    m_link = pause ? m_channel.SendCommand(text) : m_channel.SendText(text);
    if (m_channel.DeviceOpens() != m_opens) {
        m_relinked = true;
        return false;
    }
    return m_link.Ok();
}

bool CardConfiguration::SendDeciding(const std::string& text, bool pause) {
    m_channel.DiscardInput();
    return Send(text, pause);
}

void CardConfiguration::ReadToOk() {
    m_link = m_channel.ReadUntilOK(m_reply);
}

bool CardConfiguration::Accepted(const std::string& command, bool echoed) {
    m_link = m_channel.ReadResult(m_reply, echoed);
    if (m_link.end != LinkEnd::Refused) {
        return true;
    }
    m_refusedField = command.substr(0, command.find_last_not_of("\r\n") + 1);
    return false;
}

CardConfigurationResult CardConfiguration::Run(const CardSettings& settings) {
    m_storeOutcome = {};
    m_refusedField.clear();
    m_link = {};
    const std::array<std::pair<const char*, const std::string*>, 4> values{{
        {N_("phone number 1"), &settings.number1},
        {N_("SPID 1"), &settings.spid1},
        {N_("phone number 2"), &settings.number2},
        {N_("SPID 2"), &settings.spid2},
    }};
    for (const auto& [field, value] : values) {
        if (!IsSafeCardValue(*value)) {
            m_refusedField = field;
            return CardConfigurationResult::UnsafeValue;
        }
    }
    return Program(settings);
}

CardConfigurationResult CardConfiguration::Program(const CardSettings& settings) {
    // A card that came back midway (Retry at the write prompt after it was replugged) is
    // a fresh device: the script starts over so that it stores the whole profile, not the
    // rest of it on top of its old settings. Twice at most, for a card that keeps going.
    constexpr int kRestarts = 2;
    for (int attempt = 0;; ++attempt) {
        m_relinked = false;
        CardConfigurationResult result = Script(settings);
        if (!m_relinked || attempt == kRestarts) {
            return result;
        }
    }
}

CardConfigurationResult CardConfiguration::Script(const CardSettings& settings) {
    const bool page = m_steps == ProgressSteps::ConfigurationPage;
    if (page) {
        m_progress.StepIt();
    }
    m_link = m_channel.OpenConfiguredPort();
    if (!m_link) {
        return CardConfigurationResult::PortNotOpened;
    }
    m_opens = m_channel.DeviceOpens();
    m_progress.StepIt();

    // Every write up to the store decides the run: a command the card never received
    // would leave it holding less than the profile. From the identification on, so do the
    // answers: each is read as the card's result to that command alone (echo is off until
    // "ATE1"), so that a late, doubled or wordy "OK" is never taken for the store's.
    if (!Send("AT&F\r\n", false)) {
        return CardConfigurationResult::WriteFailed;
    }
    m_link = m_channel.ReadReply(m_reply);
    if (!m_link) {
        return CardConfigurationResult::NoReply;
    }
    if (!Send("ATE0Q0V1\r\n", false)) {
        return CardConfigurationResult::WriteFailed;
    }
    ReadToOk();
    if (!SendDeciding("ATI3\r\n", false)) {
        return CardConfigurationResult::WriteFailed;
    }
    m_progress.StepIt();
    m_link = m_channel.ReadResult(m_reply, false);
    // A device that failed or fell silent is no reply, not a card of the wrong kind.
    if (m_link.end == LinkEnd::Failed || (m_link.end == LinkEnd::TimedOut && m_reply.empty())) {
        return CardConfigurationResult::NoReply;
    }
    if (m_reply.find(res::LoadString(res::IDS_CARD_IDENT)) == std::string::npos) {
        return CardConfigurationResult::WrongCard;
    }
    m_progress.StepIt();

    const std::string switchCommand = SwitchCommand(settings.switchType);
    if (!switchCommand.empty()) {
        if (!SendDeciding(switchCommand, false)) {
            return CardConfigurationResult::WriteFailed;
        }
        if (!Accepted(switchCommand)) {
            return CardConfigurationResult::Refused;
        }
    }
    m_progress.StepIt();

    const std::array<std::pair<const char*, const std::string*>, 4> parameters{{
        {"AT!N1=", &settings.number1},
        {"AT!C2=", &settings.spid1},
        {"AT!N2=", &settings.number2},
        {"AT!C6=", &settings.spid2},
    }};
    for (const auto& [head, value] : parameters) {
        const std::string command = ParameterCommand(head, *value);
        if (!SendDeciding(command, true)) {
            return CardConfigurationResult::WriteFailed;
        }
        if (!Accepted(command)) {
            return CardConfigurationResult::Refused;
        }
        m_progress.StepIt();
    }

    if (!settings.flowCommand.empty()) {
        if (!SendDeciding(settings.flowCommand, false)) {
            return CardConfigurationResult::WriteFailed;
        }
        if (!Accepted(settings.flowCommand)) {
            return CardConfigurationResult::Refused;
        }
    }
    if (!page) {
        m_progress.StepIt();
    }
    // With whether the card echoes it: "ATE1" arrives while echo is still off.
    const std::array<std::pair<const char*, bool>, 2> last{
        {{"ATE1\r\n", false}, {"AT&W\r\n", true}}};
    for (const auto& [command, echoed] : last) {
        if (!SendDeciding(command, false)) {
            return CardConfigurationResult::WriteFailed;
        }
        if (!Accepted(command, echoed)) {
            return CardConfigurationResult::Refused;
        }
    }
    // Only the card's "OK" to the store says the settings are in its memory.
    if (!m_link) {
        return CardConfigurationResult::NoReply;
    }
    // The reset may go unanswered: the settings are stored already.
    m_link = m_channel.SendText("AT%Z1\r\n");
    ReadToOk();
    if (page) {
        m_progress.StepIt();
    }

    m_storeOutcome = store::SaveAppliedProfile(
        {settings.location, settings.record, settings.readBefore}, m_hive);
    switch (m_storeOutcome.status) {
        case store::StoreStatus::Ok:
            break;
        case store::StoreStatus::Changed:
        case store::StoreStatus::NotFound:
            return CardConfigurationResult::ProfileChanged;
        case store::StoreStatus::LastProfile:
        case store::StoreStatus::Invalid:
        case store::StoreStatus::Failed:
            return CardConfigurationResult::RegistryFailed;
    }
    m_progress.StepIt();
    return CardConfigurationResult::Applied;
}

std::string OutcomeMessage(CardConfigurationResult result, const std::string& refusedField) {
    switch (result) {
        case CardConfigurationResult::Applied:
            return {};
        case CardConfigurationResult::PortNotOpened:
        case CardConfigurationResult::NoReply:
            return res::LoadString(res::IDS_PORT_UNSUPPORTED);
        case CardConfigurationResult::WrongCard:
            return res::LoadString(res::IDS_PORT_COMM_FAILED);
        case CardConfigurationResult::WriteFailed:
            return res::LoadString(res::IDS_PORT_WRITE_FAILED);
        case CardConfigurationResult::RegistryFailed:
            return res::LoadString(res::IDS_REGISTRY_FAILED);
        case CardConfigurationResult::Refused: {
            return res::Fill(res::LoadString(res::IDS_CARD_REFUSED_COMMAND), {refusedField});
        }
        case CardConfigurationResult::ProfileChanged:
            return res::Tr(
                "Another program removed or changed this profile while the card was being "
                "programmed.\nThe card holds the values sent; nothing was saved, and the "
                "profile is not recorded as applied.");
        case CardConfigurationResult::UnsafeValue:
            return res::Fill(res::Tr("The entry for %1 contains a double quote or a control "
                                     "character, which the card would take as a further "
                                     "command.\nNothing was sent to the card and nothing was "
                                     "saved."),
                             {res::Tr(refusedField)});
    }
    return {};
}

std::string OutcomeDetail(CardConfigurationResult result, const link::ModemChannel& channel,
                          const std::string& linkReason) {
    auto device = [&channel] {
        return channel.Device() && channel.Device()->Handle
                   ? res::Fill(res::Tr("%1 on %2"),
                               {channel.Line().port, channel.Device()->Handle->Describe()})
                   : channel.Line().port;
    };
    switch (result) {
        case CardConfigurationResult::PortNotOpened:
            return linkReason;
        case CardConfigurationResult::NoReply:
            return link::NoReplyDetail(channel, linkReason);
        case CardConfigurationResult::WrongCard:
            return device() + ": " + res::Tr("the device did not identify itself as the card");
        case CardConfigurationResult::WriteFailed:
            return linkReason;
        case CardConfigurationResult::Refused:
            return device() + ": " +
                   res::Fill(res::Tr("the card answered ERROR to \"%1\""), {channel.LastCommand()});
        case CardConfigurationResult::Applied:
        case CardConfigurationResult::UnsafeValue:
        case CardConfigurationResult::RegistryFailed:  // the run's StoreOutcome() says why
        case CardConfigurationResult::ProfileChanged:
            break;
    }
    return {};
}

}  // namespace zo::link
