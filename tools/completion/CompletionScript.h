#pragma once

#include <string>
#include <vector>

#include "app/cli/Commands.h"

namespace zo::cli {

// The bash completion is written once as a template (res/completion/zo-config.in) and
// filled from the command table at build time, so a new command needs no edit there:
//   @ZO_COMMANDS@          the command words, in the table's order;
//   @ZO_COMMAND_OPERANDS@  a case branch per command that takes operands, setting REPLY
//                          to them as --help shows them ("NAME", "[COMn] [--raw]"); the
//                          script completes the first argument by their kind.
// False, with the reason, when the template lacks either place or the table holds what
// cannot stand in the script (a name that is not a plain word, a quote in an operand).
bool FillCompletion(const std::string& completionTemplate,
                    const std::vector<CommandSynopsis>& commands, std::string* script,
                    std::string* error);

}  // namespace zo::cli
