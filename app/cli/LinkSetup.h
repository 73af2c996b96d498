#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/Options.h"
#include "platform/comm/PortMap.h"

namespace zo::cardsim {
class PtyCardServer;
}

namespace zo::cli {

// The port simulated by --simulate when no port is named.
inline constexpr const char* kDefaultSimulatedPort = "COM3";

// The serial side of the command line: the port map with the user's saved ports and the
// --port mappings over them, the
// --trace file and, with --simulate, the simulated card served on a pseudo-terminal
// from a thread of this program, on its port alone. The port map is installed for the
// object's lifetime; the simulated card keeps time by the clock in force.
class LinkSetup {
public:
    LinkSetup();
    ~LinkSetup();
    LinkSetup(const LinkSetup&) = delete;
    LinkSetup& operator=(const LinkSetup&) = delete;

    // False with a reason when the trace file or the simulated card cannot be had.
    // `cardMemory` is the simulated card's non-volatile memory file (empty: in memory).
    bool Start(const Options& options, const std::string& cardMemory, std::string* error);

    // The device the simulated card is served on, or empty.
    const std::string& SimulatedDevice() const { return m_simulatedDevice; }
    // Lines of the port settings file that were skipped, with their reasons.
    const std::vector<std::string>& Warnings() const { return m_warnings; }

private:
    comm::PortMap m_map;
    std::unique_ptr<cardsim::PtyCardServer> m_server;
    std::thread m_thread;
    std::string m_simulatedDevice;
    std::vector<std::string> m_warnings;
};

// The store used with --simulate when --registry is not given: a demo file beside the
// default store, so trying the simulation never touches the real profiles.
std::string DemoStorePath(std::string* error);

}  // namespace zo::cli
