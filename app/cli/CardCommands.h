#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zo::cli {

// Exit statuses of the commands that talk to the card, beside those of Commands.h.
enum CardExitCode : int {
    kExitPortNotOpened = 4,
    kExitNoReply = 5,
    kExitWrongCard = 6,
    kExitWriteFailed = 7,
    kExitUnsafeValue = 8,
    kExitCardRefused = 9,
};

// probe: the port scan; prints the port where the card answered.
int ProbeCommand(std::ostream& out, std::ostream& err);
// identify [COMn] [--raw]: the card's identity and line status.
int IdentifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// apply NAME: programs the card with a stored profile and records it as applied.
int ApplyCommand(const std::string& name, std::ostream& out, std::ostream& err);

}  // namespace zo::cli
