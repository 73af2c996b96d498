#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zo::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitRefused = 1,
    kExitUsage = 2,
    kExitStore = 3,
};

// Runs one display-less command on the default hive. `args` starts with the command name.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Whether the name is one of the commands RunCommand knows.
bool IsKnownCommand(const std::string& name);

}  // namespace zo::cli
