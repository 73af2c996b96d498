#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zo::cli {

// The commands on the stored profiles alone. They work on the default hive (the store main
// opens from --registry) and never ask a question or touch a port.

// profiles: the stored names; '*' marks the one applied to the card.
int ProfilesCommand(std::ostream& out, std::ostream& err);
// show NAME: the profile's values in stored order.
int ShowCommand(const std::string& name, std::ostream& out, std::ostream& err);
// remove NAME: removes the profile, never the last one.
int RemoveCommand(const std::string& name, std::ostream& out, std::ostream& err);
// export [FILE]: the stored settings as a REGEDIT4 file, on `out` without FILE.
int ExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// import FILE: a registry export, all or nothing.
int ImportCommand(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace zo::cli
