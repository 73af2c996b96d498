#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zo::cli {

// Runs one display-less command; `args` starts with the command name. Returns an ExitCode.
// The commands reach the store through the default hive, and the card through the port
// map and clock in force; main installs them before running one.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Whether the name is one of the commands RunCommand knows.
bool IsKnownCommand(const std::string& name);

}  // namespace zo::cli
