#include "app/cli/Commands.h"

#include <ostream>

#include "app/cli/CardCommands.h"
#include "app/cli/ExitCode.h"
#include "app/cli/StoreCommands.h"

namespace zo::cli {
namespace {

int Usage(std::ostream& err, const std::string& message) {
    err << "zo-config: " << message << "\nTry 'zo-config --help' for more information.\n";
    return kExitUsage;
}

}  // namespace

bool IsKnownCommand(const std::string& name) {
    return name == "profiles" || name == "show" || name == "remove" || name == "export" ||
           name == "import" || name == "probe" || name == "identify" || name == "apply";
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return Usage(err, "no command given");
    }
    const std::string& cmd = args[0];
    auto want = [&](std::size_t min, std::size_t max) {
        return args.size() >= min + 1 && args.size() <= max + 1;
    };
    if (cmd == "profiles" && want(0, 0)) {
        return ProfilesCommand(out, err);
    }
    if (cmd == "show" && want(1, 1)) {
        return ShowCommand(args[1], out, err);
    }
    if (cmd == "remove" && want(1, 1)) {
        return RemoveCommand(args[1], out, err);
    }
    if (cmd == "export" && want(0, 1)) {
        return ExportCommand(args, out, err);
    }
    if (cmd == "import" && want(1, 1)) {
        return ImportCommand(args[1], out, err);
    }
    if (cmd == "probe" && want(0, 0)) {
        return ProbeCommand(out, err);
    }
    if (cmd == "identify" && want(0, 2)) {
        return IdentifyCommand(args, out, err);
    }
    if (cmd == "apply" && want(1, 1)) {
        return ApplyCommand(args[1], out, err);
    }
    if (IsKnownCommand(cmd)) {
        return Usage(err, "wrong number of arguments for '" + cmd + "'");
    }
    return Usage(err, "unknown command '" + cmd + "'");
}

}  // namespace zo::cli
