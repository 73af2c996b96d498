#pragma once

#include <iosfwd>
#include <string>

namespace zo::cli {

// The commands on the port map: which device each COM name means and why, and the user's
// lasting choice of device for a name. They read and change the port map in force, which
// carries the settings file it was read from; they never open a port.

// ports: COM1-COM4 with their devices and where each comes from, then the serial devices
// of this machine, each with whether this user may open it.
int PortsCommand(std::ostream& out, std::ostream& err);
// port COMn=PATH | COMn=: saves a port's device, or returns the port to its default.
int PortCommand(const std::string& assignment, std::ostream& out, std::ostream& err);

}  // namespace zo::cli
