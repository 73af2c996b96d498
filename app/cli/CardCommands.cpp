#include "app/cli/CardCommands.h"

#include <ostream>

#include "app/cli/CommandReport.h"
#include "app/cli/ExitCode.h"
#include "app/cli/StreamPrompter.h"
#include "link/CardConfiguration.h"
#include "link/CardIdentity.h"
#include "link/IdentificationQuery.h"
#include "link/PortScan.h"
#include "link/ProgressWindow.h"
#include "platform/registry/Hive.h"
#include "res/Strings.h"
#include "res/Translation.h"
#include "store/ControlCharacters.h"
#include "store/ProfileStore.h"

namespace zo::cli {
namespace {

using link::CardConfigurationResult;

int ExitFor(CardConfigurationResult result) {
    switch (result) {
        case CardConfigurationResult::Applied:
            return kExitOk;
        case CardConfigurationResult::PortNotOpened:
            return kExitPortNotOpened;
        case CardConfigurationResult::NoReply:
            return kExitNoReply;
        case CardConfigurationResult::WrongCard:
            return kExitWrongCard;
        case CardConfigurationResult::WriteFailed:
            return kExitWriteFailed;
        case CardConfigurationResult::RegistryFailed:
            return kExitStore;
        case CardConfigurationResult::ProfileChanged:
            return kExitRefused;
        case CardConfigurationResult::UnsafeValue:
            return kExitUnsafeValue;
        case CardConfigurationResult::Refused:
            return kExitCardRefused;
    }
    return kExitRefused;
}

std::string WithoutLeadingBlanks(const std::string& s) {
    std::size_t start = s.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : s.substr(start);
}

}  // namespace

int ProbeCommand(std::ostream& out, std::ostream& err) {
    StreamPrompter prompter(err);
    link::ModemChannel channel;
    if (!link::ScanPorts(channel, link::ScanCaller::Wizard)) {
        return kExitRefused;
    }
    out << channel.Line().port << "\n";
    return kExitOk;
}

int IdentifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool raw = false;
    std::string port;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--raw") {
            raw = true;
        } else if (port.empty()) {
            port = args[i];
        } else {
            err << "zo-config: " << res::Tr("identify takes one port name") << "\n";
            return kExitUsage;
        }
    }
    if (!port.empty() && port[0] == '/') {
        err << "zo-config: "
            << res::Fill(res::Tr("identify takes a port name such as COM1, not a device; point a "
                                 "port at %1 first (zo-config port COM1=%1, or --port COM1=%1 "
                                 "for one run)"),
                         {port})
            << "\n";
        return kExitUsage;
    }
    if (port.empty()) {
        // A store that cannot be read is reported as such, not as no applied profile.
        const auto current = store::ActiveProfileName();
        if (!current.Ok()) {
            return StoreFailure(err, current.Result().text);
        }
        if (!current.Value().empty()) {
            const auto applied = store::ReadProfile(current.Value());
            if (!applied.Ok()) {
                return StoreFailure(err, applied.Result().text);
            }
            port = applied.Value().At(store::kPort);
        }
        if (port.empty()) {
            err << "zo-config: " << res::Tr("no port given and no applied profile names one")
                << "\n";
            return kExitRefused;
        }
    }
    StreamPrompter prompter(err);
    link::ModemChannel channel;
    channel.ReportOpenFailureOnce();
    link::SetQuerySettings(channel, port);
    std::string text;
    link::LinkResult ended;
    switch (link::QueryIdentification(channel, &text, &ended)) {
        case link::IdentificationResult::PortNotOpened:
            // An open that failed has been reported; line settings the device refused
            // show no message in the windows, but the command line says why it stops.
            if (channel.Device()) {
                err << "zo-config: " << ended.reason << "\n";
            }
            return kExitPortNotOpened;
        case link::IdentificationResult::NoReply:
            platform::CurrentPrompter().Ask(res::LoadString(res::IDS_PORT_UNSUPPORTED),
                                            platform::Buttons::Ok, platform::Icon::None,
                                            link::NoReplyDetail(channel, ended.reason));
            return kExitNoReply;
        case link::IdentificationResult::WrongCard:
            platform::CurrentPrompter().Ask(
                res::LoadString(res::IDS_PORT_COMM_FAILED), platform::Buttons::Ok,
                platform::Icon::None,
                link::OutcomeDetail(link::CardConfigurationResult::WrongCard, channel, {}));
            return kExitWrongCard;
        case link::IdentificationResult::Identified:
            break;
    }
    using store::EscapeControlCharacters;
    if (raw) {
        // The card's lines as they came, but nothing a terminal would act on.
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = text.find_first_of("\r\n", start);
            end = end == std::string::npos ? text.size() : end;
            out << EscapeControlCharacters(std::string_view(text).substr(start, end - start));
            for (; end < text.size() && (text[end] == '\r' || text[end] == '\n'); ++end) {
                out << text[end];
            }
            start = end;
        }
        return kExitOk;
    }
    link::CardIdentity id = link::ParseIdentification(text);
    out << res::Tr("Product Name:") << " " << EscapeControlCharacters(id.productName) << "\n"
        << res::Tr("Software Revision:") << " " << EscapeControlCharacters(id.softwareRevision)
        << "\n"
        << res::Tr("Software Release Date:") << " " << EscapeControlCharacters(id.releaseDate)
        << "\n"
        << res::Tr("Line Status:") << " "
        << EscapeControlCharacters(WithoutLeadingBlanks(id.lineStatus)) << "\n";
    return kExitOk;
}

int ApplyCommand(const std::string& typed, std::ostream& out, std::ostream& err) {
    // The profile keeps the name it is stored under, whatever case was typed.
    const auto stored = store::StoredProfileName(typed);
    if (!stored.Ok()) {
        return StoreFailure(err, stored.Result().text);
    }
    const std::string& name = stored.Value();
    const auto read = store::ReadProfile(name);
    if (!read.Ok()) {
        return StoreFailure(err, read.Result().text);
    }
    const store::Profile& profile = read.Value();
    if (name.empty() || !profile.Exists()) {
        return NoSuchProfile(err, typed);
    }
    StreamPrompter prompter(err);
    link::ModemChannel channel;
    channel.ReportOpenFailureOnce();
    link::SetQuerySettings(channel, profile.At(store::kPort));
    link::NoProgressWindow progress;
    link::CardConfiguration configuration(channel, progress,
                                          link::ProgressSteps::ConfigurationPage);
    // Nothing is edited, so the profile's values are left as stored: the run only records
    // it as applied, and refuses if another program changed or removed it meanwhile.
    CardConfigurationResult result = configuration.Run(link::ConfigPageCardSettings(name, profile));
    if (result != CardConfigurationResult::Applied) {
        const std::string detail =
            result == CardConfigurationResult::RegistryFailed
                ? configuration.StoreOutcome().text
                : link::OutcomeDetail(result, channel, configuration.LinkOutcome().reason);
        platform::CurrentPrompter().Ask(link::OutcomeMessage(result, configuration.RefusedField()),
                                        platform::Buttons::Ok, platform::Icon::None, detail);
        return ExitFor(result);
    }
    out << res::Fill(res::Tr("Applied \"%1\" to the card on %2."),
                     {store::EscapeControlCharacters(name), channel.Line().port})
        << "\n";
    return kExitOk;
}

}  // namespace zo::cli
