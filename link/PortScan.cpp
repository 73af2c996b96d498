#include "link/PortScan.h"

#include <sstream>

#include "res/Strings.h"

namespace zo::link {

void SetDetectionSettings(ModemChannel& channel, ScanCaller caller) {
    channel.Baud = "115200";
    channel.Bits = "8";
    channel.Parity = "None";
    channel.ParityCode = 0;
    channel.StopBitsCode = 0;
    if (caller == ScanCaller::Wizard) {
        channel.Stop = "1";
    }
    channel.Flow = "Hardware";
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
            channel.Port = name;
            return true;
        }
        report += (report.empty() ? "" : "\n") + probe.reason;
    }
    channel.Context().Prompter().Ask(res::LoadString(res::IDS_CARD_NOT_DETECTED),
                                     platform::Buttons::Ok, platform::Icon::None, report);
    return false;
}

}  // namespace zo::link
