#pragma once

#include <string>
#include <vector>

// The serial devices this machine has, for the user who points a COM name at one.
// Seams: none; reads /dev and /sys. Thread: the caller's.

namespace zo::comm {

struct MachinePort {
    std::string path;     // as the user would name it: /dev/ttyUSB0, /dev/serial/by-id/...
    std::string target;   // for a stable by-id name, the device it stands for; else empty
    bool usable = false;  // whether this user may open it for reading and writing
    std::string why;      // when not usable: why, and what to do about it
};

// The ttyS ports that have a UART behind them, every ttyUSB and ttyACM device, then the
// stable names under /dev/serial/by-id; each group sorted by name (ttyS2 before ttyS10).
// `devRoot` and `sysRoot` stand in for /dev and /sys in tests.
std::vector<MachinePort> ListMachinePorts(const std::string& devRoot = "/dev",
                                          const std::string& sysRoot = "/sys");

}  // namespace zo::comm
