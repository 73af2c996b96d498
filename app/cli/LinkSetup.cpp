#include "app/cli/LinkSetup.h"

#include "app/cli/StorePath.h"
#include "cardsim/PtyCardServer.h"
#include "platform/comm/ByteTrace.h"
#include "platform/comm/SavedPorts.h"

namespace zo::cli {

LinkSetup::LinkSetup() : m_map(comm::PortMap::Defaults()) {
    comm::SetPortMap(&m_map);
}

LinkSetup::~LinkSetup() {
    if (m_server) {
        m_server->Stop();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    comm::SetPortMap(nullptr);
}

bool LinkSetup::Start(const Options& options, const std::string& cardMemory, std::string* error) {
    if (!options.simulate) {
        // Without a home there is nowhere to keep ports; the defaults and --port still work.
        std::string ignored;
        const std::string file = comm::SavedPortsPath(&ignored);
        std::vector<comm::PortAssignment> saved;
        std::string readError;
        if (!file.empty() && !comm::ReadSavedPorts(file, &saved, &m_warnings, &readError)) {
            m_warnings.push_back(readError + " (the default ports are used)");
        }
        for (const auto& [name, path] : saved) {
            m_map.MapToPath(name, path, comm::PortSource::Saved);
        }
        m_map.SetSavedPortsFile(file);
    }
    for (const auto& [name, path] : options.portMap) {
        m_map.MapToPath(name, path, comm::PortSource::CommandLine);
    }
    if (!options.tracePath.empty()) {
        auto trace = comm::ByteTrace::Create(options.tracePath, error);
        if (!trace) {
            return false;
        }
        m_map.SetTrace(std::move(trace));
    }
    if (!options.simulate) {
        return true;
    }
    auto model = std::make_unique<cardsim::CardModel>(platform::CurrentClock(), cardMemory);
    m_server = cardsim::PtyCardServer::Create(std::move(model), error);
    if (!m_server) {
        return false;
    }
    m_simulatedDevice = m_server->SlavePath();
    // No real device is touched while the card is simulated.
    m_map.Clear();
    m_map.MapToPath(options.simulatePort.empty() ? kDefaultSimulatedPort : options.simulatePort,
                    m_simulatedDevice, comm::PortSource::Simulated);
    m_thread = std::thread([server = m_server.get()] { server->Run(); });
    return true;
}

std::string DemoStorePath(std::string* error) {
    std::string path = DefaultStorePath(error);
    if (path.empty()) {
        return path;
    }
    std::size_t slash = path.rfind('/');
    return path.substr(0, slash + 1) + "demo-registry.db";
}

}  // namespace zo::cli
