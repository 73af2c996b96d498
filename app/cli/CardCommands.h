#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zo::cli {

// The commands that talk to the card. Each answers the core's questions on `err` through a
// StreamPrompter of its own, opens the card's port through the port map in force and waits
// on the clock in force. identify without a port reads the default hive; apply reads it and
// records the profile there as applied.

// probe: the port scan; prints the port where the card answered.
int ProbeCommand(std::ostream& out, std::ostream& err);
// identify [COMn] [--raw]: the card's identity and line status.
int IdentifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// apply NAME: programs the card with a stored profile and records it as applied.
int ApplyCommand(const std::string& name, std::ostream& out, std::ostream& err);

}  // namespace zo::cli
