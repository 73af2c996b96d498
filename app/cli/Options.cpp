#include "app/cli/Options.h"

#include <cctype>

#include "app/cli/Commands.h"
#include "app/cli/ExitCode.h"

namespace zo::cli {
namespace {

// "COMn" for n in 1..9 in any case, as "COMn"; empty for anything else.
std::string ComName(const std::string& s) {
    if (s.size() != 4 || s[3] < '1' || s[3] > '9') {
        return {};
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(s[i])) != "COM"[i]) {
            return {};
        }
    }
    return std::string("COM") + s[3];
}

// The top of --help: what the program does, and its options.
constexpr const char* kOptionsHelp =
    "Usage: zo-config [OPTION]... [COMMAND [ARG]...]\n"
    "Configures a Kest Ferronix ZO!(tm) Series ISDN terminal adapter.\n"
    "Without a command it opens the configuration windows.\n"
    "\n"
    "Options:\n"
    "  --registry FILE     the profile store (default: $XDG_DATA_HOME/zo-config/registry.db)\n"
    "  --port COMn=PATH    use the serial device PATH for port COMn (repeatable)\n"
    "  --trace FILE        write every byte exchanged with the card to FILE\n"
    "  --simulate[=COMn]   attach the built-in simulated card on COMn (COM3 unless named);\n"
    "                      no other port is used, and the store defaults to a demo file\n"
    "  --help              show this help and exit\n"
    "  --version           show the version and exit\n"
    "\n";

}  // namespace

std::string UsageText() {
    return kOptionsHelp + CommandHelp() + "\n" + kExitStatusHelp;
}

bool ParseOptions(const std::vector<std::string>& args, Options* o, std::string* error) {
    *o = Options{};
    auto takeValue = [&](std::size_t& i, const std::string& arg, const std::string& name,
                         std::string* value) {
        if (arg.size() > name.size() && arg[name.size()] == '=') {
            *value = arg.substr(name.size() + 1);
            return true;
        }
        if (i + 1 >= args.size()) {
            *error = "option " + name + " needs a value";
            return false;
        }
        *value = args[++i];
        return true;
    };
    auto is = [](const std::string& arg, const std::string& name) {
        return arg == name || (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
                               arg[name.size()] == '=');
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!o->command.empty() || arg.empty() || arg[0] != '-' || arg == "-") {
            o->command.push_back(arg);
            continue;
        }
        if (arg == "--") {
            o->command.insert(o->command.end(), args.begin() + static_cast<long>(i) + 1,
                              args.end());
            break;
        }
        if (arg == "--help" || arg == "-h") {
            o->help = true;
        } else if (arg == "--version") {
            o->version = true;
        } else if (is(arg, "--registry")) {
            if (!takeValue(i, arg, "--registry", &o->registryPath)) {
                return false;
            }
            if (o->registryPath.empty()) {
                *error = "--registry needs a file name";
                return false;
            }
        } else if (is(arg, "--trace")) {
            if (!takeValue(i, arg, "--trace", &o->tracePath)) {
                return false;
            }
        } else if (is(arg, "--port")) {
            std::string mapping;
            if (!takeValue(i, arg, "--port", &mapping)) {
                return false;
            }
            std::size_t eq = mapping.find('=');
            std::string name = ComName(mapping.substr(0, eq));
            if (eq == std::string::npos || name.empty() || eq + 1 == mapping.size()) {
                *error = "--port needs COMn=PATH, got '" + mapping + "'";
                return false;
            }
            o->portMap.emplace_back(name, mapping.substr(eq + 1));
        } else if (arg == "--simulate") {
            o->simulate = true;
        } else if (arg.compare(0, 11, "--simulate=") == 0) {
            o->simulate = true;
            o->simulatePort = ComName(arg.substr(11));
            if (o->simulatePort.empty()) {
                *error = "--simulate takes a port name such as COM3, got '" + arg.substr(11) + "'";
                return false;
            }
        } else {
            *error = "unknown option '" + arg + "'";
            return false;
        }
    }
    return true;
}

}  // namespace zo::cli
