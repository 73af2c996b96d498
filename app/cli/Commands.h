#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zo::cli {

// The display-less commands, from one table: dispatch, the arity check, the known-command
// test and the Commands section of --help all read it.
//
// The commands find what they work on through the program's seams, which main installs
// before running one: the default hive (the store from --registry), the port map (with the
// --port mappings and --simulate's card) and the clock the card conversation waits on. The
// card commands answer the core's questions with a StreamPrompter of their own.

// Runs one command; `args` starts with the command name. Returns an ExitCode.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Whether the name is one of the commands RunCommand knows.
bool IsKnownCommand(const std::string& name);

// The Commands section of --help: each command with its operands and what it does.
std::string CommandHelp();

// A command as --help names it: "show" with "NAME"; operands empty when it takes none.
struct CommandSynopsis {
    std::string name;
    std::string operands;
};

// Every command, in the table's order: what the bash completion is generated from and what
// the tests hold the help and the manual page to.
std::vector<CommandSynopsis> CommandSynopses();

}  // namespace zo::cli
