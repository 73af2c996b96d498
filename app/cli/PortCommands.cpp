#include "app/cli/PortCommands.h"

#include <ostream>

#include "app/cli/ExitCode.h"
#include "platform/comm/MachinePorts.h"
#include "platform/comm/PortMap.h"
#include "platform/comm/SavedPorts.h"

namespace zo::cli {
namespace {

std::string SourceText(const comm::PortMap& map, const std::string& name) {
    switch (map.SourceOf(name)) {
        case comm::PortSource::Default:
            return "default";
        case comm::PortSource::Saved:
            return "saved in " + map.SavedPortsFile();
        case comm::PortSource::CommandLine:
            return "--port, for this run";
        case comm::PortSource::Simulated:
            return "the simulated card";
        case comm::PortSource::Program:
            break;
    }
    return "set by the program";
}

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text + "  ";
}

}  // namespace

int PortsCommand(std::ostream& out, std::ostream&) {
    const comm::PortMap& map = comm::CurrentPortMap();
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "COM" + std::to_string(n);
        std::string device = map.PathOf(name);
        if (device.empty()) {
            device = map.IsMapped(name) ? "(built-in device)" : "(none in this run)";
        }
        out << name << "  " << Padded(device, 20) << "(" << SourceText(map, name) << ")\n";
    }
    out << "\nSerial devices on this machine:\n";
    const auto ports = comm::ListMachinePorts();
    if (ports.empty()) {
        out << "  none found (no UART ports, ttyUSB or ttyACM devices)\n";
    }
    for (const comm::MachinePort& port : ports) {
        out << "  " << Padded(port.path, 20);
        if (!port.target.empty()) {
            out << "-> " << port.target << "  ";
        }
        out << (port.usable ? "usable" : "not usable: " + port.why) << "\n";
    }
    if (!map.SavedPortsFile().empty()) {
        out << "\n\"zo-config port COMn=DEVICE\" points a port at a device; the choice is kept in "
            << map.SavedPortsFile() << ".\n";
    }
    return out.good() ? kExitOk : kExitRefused;
}

int PortCommand(const std::string& assignment, std::ostream& out, std::ostream& err) {
    const std::size_t eq = assignment.find('=');
    const std::string name =
        comm::CanonicalPortName(eq == std::string::npos ? assignment : assignment.substr(0, eq));
    if (eq == std::string::npos || name.empty()) {
        err << "zo-config: port needs COMn=DEVICE or COMn= (n from 1 to 4), got '" << assignment
            << "'\nTry 'zo-config --help' for more information.\n";
        return kExitUsage;
    }
    const std::string device = assignment.substr(eq + 1);
    comm::PortMap& map = comm::CurrentPortMap();
    std::string error;
    if (!map.SavePort(name, device, &error)) {
        err << "zo-config: " << name << " was not changed: " << error << "\n";
        return kExitRefused;
    }
    if (device.empty()) {
        out << name << " is back on its default device, " << map.PathOf(name) << ".\n";
    } else {
        out << name << " is now " << device << ".\n";
    }
    return out.good() ? kExitOk : kExitRefused;
}

}  // namespace zo::cli
