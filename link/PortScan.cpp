#include "link/PortScan.h"

#include <sstream>

#include "res/Strings.h"

namespace zo::link {

void SetDetectionSettings(ModemChannel& channel, ScanCaller caller) {
    LineSettings line = channel.Line();
    line.baud = "115200";
    line.bits = "8";
    line.parity = "None";
    line.parityCode = 0;
    line.stopBitsCode = 0;
    if (caller == ScanCaller::Wizard) {
        line.stop = "1";
    }
    line.flow = "Hardware";
    channel.SetLine(line);
}

bool ScanPorts(ModemChannel& channel, ScanCaller caller) {
    SetDetectionSettings(channel, caller);
    std::istringstream names(res::LoadString(res::IDS_PORT_LIST));
    std::string name;
    std::string report;
    while (std::getline(names, name, ',')) {
        if (name.empty()) {
            continue;
        }
        const LinkResult probe = channel.ProbePort(name);
        if (probe) {
            return true;
        }
        report += (report.empty() ? "" : "\n") + probe.reason;
    }
    channel.Context().Prompter().Ask(res::LoadString(res::IDS_CARD_NOT_DETECTED),
                                     platform::Buttons::Ok, platform::Icon::None, report);
    return false;
}

}  // namespace zo::link
