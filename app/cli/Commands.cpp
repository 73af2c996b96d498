#include "app/cli/Commands.h"

#include <ostream>

#include "app/cli/CardCommands.h"
#include "app/cli/ExitCode.h"
#include "app/cli/PortCommands.h"
#include "app/cli/StoreCommands.h"
#include "res/Translation.h"

namespace zo::cli {
namespace {

using Args = std::vector<std::string>;
using Handler = int (*)(const Args& args, std::ostream& out, std::ostream& err);

// Handlers for the commands that take no operand or exactly one.
template <int (*Run)(std::ostream&, std::ostream&)>
int NoOperand(const Args&, std::ostream& out, std::ostream& err) {
    return Run(out, err);
}
template <int (*Run)(const std::string&, std::ostream&, std::ostream&)>
int OneOperand(const Args& args, std::ostream& out, std::ostream& err) {
    return Run(args[1], out, err);
}

struct Command {
    const char* name;
    const char* operands;  // as --help shows them after the name; empty: none
    const char* help;      // what --help says of it; a '\n' goes on in the description column
    std::size_t minOperands;
    std::size_t maxOperands;
    Handler run;  // called with the command name first and an operand count within bounds
};

// In the order --help lists them.
constexpr Command kCommands[] = {
    {"profiles", "", N_("list the stored profiles; '*' marks the one applied to the card"), 0, 0,
     NoOperand<ProfilesCommand>},
    {"show", "NAME", N_("print the values of profile NAME in stored order"), 1, 1,
     OneOperand<ShowCommand>},
    {"remove", "NAME", N_("remove profile NAME (never the last one)"), 1, 1,
     OneOperand<RemoveCommand>},
    {"export", "[FILE]",
     N_("write the stored settings as a REGEDIT4 file (standard output\nwithout FILE or with -)"),
     0, 1, ExportCommand},
    {"import", "FILE",
     N_("read profiles from a registry export (REGEDIT4 or version 5.00;\n- reads standard input)"),
     1, 1, OneOperand<ImportCommand>},
    {"probe", "", N_("look for the card on COM4, COM3, COM2 and COM1; print its port"), 0, 0,
     NoOperand<ProbeCommand>},
    {"ports", "", N_("list COM1-COM4 with their devices, and this machine's serial devices"), 0, 0,
     NoOperand<PortsCommand>},
    {"port", "COMn=DEVICE", N_("point COMn at DEVICE for good (COMn= : back to its default)"), 1, 1,
     OneOperand<PortCommand>},
    {"identify", "[COMn] [--raw]",
     N_("print the card's identity and line status (port: the applied\nprofile's unless named; "
        "--raw: the card's text as it came)"),
     0, 2, IdentifyCommand},
    {"apply", "NAME", N_("program the card with profile NAME and record it as applied"), 1, 1,
     OneOperand<ApplyCommand>},
};

const Command* FindCommand(const std::string& name) {
    for (const auto& command : kCommands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

int Usage(std::ostream& err, const std::string& message) {
    err << "zo-config: " << message << "\n"
        << res::Tr("Try 'zo-config --help' for more information.") << "\n";
    return kExitUsage;
}

}  // namespace

bool IsKnownCommand(const std::string& name) {
    return FindCommand(name) != nullptr;
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return Usage(err, res::Tr("no command given"));
    }
    const std::string& name = args[0];
    const Command* command = FindCommand(name);
    if (!command) {
        return Usage(err, res::Fill(res::Tr("unknown command '%1'"), {name}));
    }
    const std::size_t operands = args.size() - 1;
    if (operands < command->minOperands || operands > command->maxOperands) {
        return Usage(err, res::Fill(res::Tr("wrong number of arguments for '%1'"), {name}));
    }
    return command->run(args, out, err);
}

std::vector<CommandSynopsis> CommandSynopses() {
    std::vector<CommandSynopsis> synopses;
    for (const auto& command : kCommands) {
        synopses.push_back({command.name, command.operands});
    }
    return synopses;
}

std::string CommandHelp() {
    // Where the descriptions start, as in the Options section.
    constexpr std::size_t kColumn = 22;
    const std::string indent(kColumn, ' ');
    std::string text = res::Tr("Commands:") + std::string("\n");
    for (const auto& command : kCommands) {
        std::string synopsis = std::string("  ") + command.name;
        if (command.operands[0] != '\0') {
            synopsis += std::string(" ") + command.operands;
        }
        text += synopsis;
        // A synopsis too long for the column puts its description on the next line.
        text +=
            synopsis.size() < kColumn ? std::string(kColumn - synopsis.size(), ' ') : "\n" + indent;
        for (const char* c = res::Tr(command.help); *c != '\0'; ++c) {
            text += *c;
            if (*c == '\n') {
                text += indent;
            }
        }
        text += '\n';
    }
    return text;
}

}  // namespace zo::cli
