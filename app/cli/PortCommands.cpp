#include "app/cli/PortCommands.h"

#include <ostream>

#include "app/cli/ExitCode.h"
#include "platform/comm/MachinePorts.h"
#include "platform/comm/PortMap.h"
#include "platform/comm/SavedPorts.h"
#include "res/Translation.h"

namespace zo::cli {
namespace {

std::string SourceText(const comm::PortMap& map, const std::string& name) {
    switch (map.SourceOf(name)) {
        case comm::PortSource::Default:
            return res::Tr("default");
        case comm::PortSource::Saved:
            return res::Fill(res::Tr("saved in %1"), {map.SavedPortsFile()});
        case comm::PortSource::CommandLine:
            return res::Tr("--port, for this run");
        case comm::PortSource::Simulated:
            return res::Tr("the simulated card");
        case comm::PortSource::Program:
            break;
    }
    return res::Tr("set by the program");
}

std::string Padded(std::string text, std::size_t width) {
    // Counted in characters: a translation may hold accented letters.
    std::size_t shown = 0;
    for (unsigned char c : text) {
        shown += (c & 0xC0) != 0x80;
    }
    if (shown < width) {
        text.append(width - shown, ' ');
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
            device =
                map.IsMapped(name) ? res::Tr("(built-in device)") : res::Tr("(none in this run)");
        }
        out << name << "  " << Padded(device, 20) << "(" << SourceText(map, name) << ")\n";
    }
    out << "\n" << res::Tr("Serial devices on this machine:") << "\n";
    const auto ports = comm::ListMachinePorts();
    if (ports.empty()) {
        out << "  " << res::Tr("none found (no UART ports, ttyUSB or ttyACM devices)") << "\n";
    }
    for (const comm::MachinePort& port : ports) {
        out << "  " << Padded(port.path, 20);
        if (!port.target.empty()) {
            out << "-> " << port.target << "  ";
        }
        out << (port.usable ? res::Tr("usable") : res::Fill(res::Tr("not usable: %1"), {port.why}))
            << "\n";
    }
    if (!map.SavedPortsFile().empty()) {
        out << "\n"
            << res::Fill(res::Tr("\"zo-config port COMn=DEVICE\" points a port at a device; the "
                                 "choice is kept in %1."),
                         {map.SavedPortsFile()})
            << "\n";
    }
    return out.good() ? kExitOk : kExitRefused;
}

int PortCommand(const std::string& assignment, std::ostream& out, std::ostream& err) {
    const std::size_t eq = assignment.find('=');
    const std::string name =
        comm::CanonicalPortName(eq == std::string::npos ? assignment : assignment.substr(0, eq));
    if (eq == std::string::npos || name.empty()) {
        err << "zo-config: "
            << res::Fill(res::Tr("port needs COMn=DEVICE or COMn= (n from 1 to 4), got '%1'"),
                         {assignment})
            << "\n"
            << res::Tr("Try 'zo-config --help' for more information.") << "\n";
        return kExitUsage;
    }
    const std::string device = assignment.substr(eq + 1);
    comm::PortMap& map = comm::CurrentPortMap();
    std::string error;
    if (!map.SavePort(name, device, &error)) {
        err << "zo-config: " << res::Fill(res::Tr("%1 was not changed: %2"), {name, error}) << "\n";
        return kExitRefused;
    }
    if (device.empty()) {
        out << res::Fill(res::Tr("%1 is back on its default device, %2."), {name, map.PathOf(name)})
            << "\n";
    } else {
        out << res::Fill(res::Tr("%1 is now %2."), {name, device}) << "\n";
    }
    return out.good() ? kExitOk : kExitRefused;
}

}  // namespace zo::cli
