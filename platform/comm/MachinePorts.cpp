#include "platform/comm/MachinePorts.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

#include "platform/comm/PortDiagnosis.h"

namespace zo::comm {
namespace {

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (e->d_name[0] != '.') {
                names.emplace_back(e->d_name);
            }
        }
        ::closedir(d);
    }
    return names;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// ttyS10 after ttyS2: the prefix, then the number by value.
bool NaturalLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::size_t digits = s.size();
        while (digits > 0 && s[digits - 1] >= '0' && s[digits - 1] <= '9') {
            --digits;
        }
        const std::string number = s.substr(digits);
        return std::make_pair(s.substr(0, digits),
                              number.empty() ? -1L : std::strtol(number.c_str(), nullptr, 10));
    };
    return split(a) < split(b);
}

// The 8250 driver makes a ttyS node for every possible port; only those with a UART type
// other than 0 (PORT_UNKNOWN) have hardware behind them.
bool HasUart(const std::string& sysRoot, const std::string& name) {
    std::ifstream in(sysRoot + "/class/tty/" + name + "/type");
    int type = 0;
    return in >> type && type != 0;
}

MachinePort Describe(const std::string& path, const std::string& target) {
    MachinePort port{path, target, ::access(path.c_str(), R_OK | W_OK) == 0, {}};
    if (!port.usable) {
        const std::string reason = DescribeOpenFailure(path, errno);
        const std::size_t cut = reason.find('\n');
        port.why = cut == std::string::npos ? reason : reason.substr(cut + 1);
    }
    return port;
}

}  // namespace

std::vector<MachinePort> ListMachinePorts(const std::string& devRoot, const std::string& sysRoot) {
    std::vector<std::string> uarts, adapters;
    for (const std::string& name : Entries(devRoot)) {
        if (StartsWith(name, "ttyS") && HasUart(sysRoot, name)) {
            uarts.push_back(name);
        } else if (StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM")) {
            adapters.push_back(name);
        }
    }
    std::sort(uarts.begin(), uarts.end(), NaturalLess);
    std::sort(adapters.begin(), adapters.end(), NaturalLess);
    std::vector<MachinePort> ports;
    for (const auto* group : {&uarts, &adapters}) {
        for (const std::string& name : *group) {
            ports.push_back(Describe(devRoot + "/" + name, {}));
        }
    }
    const std::string byId = devRoot + "/serial/by-id";
    std::vector<std::string> stable = Entries(byId);
    std::sort(stable.begin(), stable.end());
    for (const std::string& name : stable) {
        const std::string path = byId + "/" + name;
        char resolved[PATH_MAX];
        ports.push_back(
            Describe(path, ::realpath(path.c_str(), resolved) ? std::string(resolved) : ""));
    }
    return ports;
}

}  // namespace zo::comm
