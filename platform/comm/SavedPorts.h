#pragma once

#include <string>
#include <utility>
#include <vector>

// The user's lasting port map: a small text file, one "COMn=PATH" line for each port that
// does not sit on its default device, that a person can read and edit. It lives in
// $XDG_CONFIG_HOME/zo-config/ports (~/.config/zo-config/ports without it).
// Seams: none; the environment names the folder. Thread: the caller's.

namespace zo::comm {

using PortAssignment = std::pair<std::string, std::string>;  // "COMn", device path

// Where the file is; empty with the reason when this user has no home to keep it in.
std::string SavedPortsPath(std::string* error);

// "COMn" for n in 1..4 in any case, as "COMn"; empty for anything else.
std::string CanonicalPortName(const std::string& name);

// The file's assignments in file order. A missing file is an empty map. Lines that are
// blank or start with '#' are skipped; any other line that is not COMn=PATH with an
// absolute path is reported in `warnings` ("FILE:LINE: reason") and skipped.
bool ReadSavedPorts(const std::string& path, std::vector<PortAssignment>* ports,
                    std::vector<std::string>* warnings, std::string* error);

// Sets one port's device (an empty device returns the port to its default) and writes the
// file whole through a temporary file and a rename, so a reader never sees half of it;
// the comments and the other ports' lines are kept.
bool SaveSavedPort(const std::string& path, const std::string& name, const std::string& device,
                   std::string* error);

// Why `device` cannot be a port's device (not an absolute path, absent, not a character
// device); empty when it can. Whether it is a terminal shows when it is opened.
std::string RefuseAsPortDevice(const std::string& device);

}  // namespace zo::comm
