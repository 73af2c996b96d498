#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/comm/SerialDevice.h"

namespace zo::comm {

class ByteTrace;

// Opens a device for a port; null with a reason in `error` when it cannot.
using DeviceOpener = std::function<std::unique_ptr<SerialDevice>(std::string* error)>;

// Resolves a port name ("COM1".."COM4") to a device: a tty path or an in-process
// device. Names compare without regard to ASCII case; a name that maps to nothing
// fails to open like an absent device.
class PortMap {
public:
    // COM1..COM4 on /dev/ttyS0../dev/ttyS3.
    static PortMap Defaults();

    void MapToPath(const std::string& name, const std::string& path);
    void MapToDevice(const std::string& name, DeviceOpener opener);
    void Unmap(const std::string& name);
    void Clear();

    bool IsMapped(const std::string& name) const;
    // The tty path behind a name, or empty.
    std::string PathOf(const std::string& name) const;

    // Every byte through a device opened from now on is written to `trace` (null: none).
    void SetTrace(std::shared_ptr<ByteTrace> trace) { m_trace = std::move(trace); }

    std::unique_ptr<SerialDevice> Open(const std::string& name, std::string* error) const;

private:
    struct Entry {
        std::string name;
        std::string path;
        DeviceOpener opener;
    };
    const Entry* Find(const std::string& name) const;

    std::vector<Entry> m_entries;
    std::shared_ptr<ByteTrace> m_trace;
};

// The port map in force, a process-wide seam read at each open: link::SerialPort opens
// every port through it. Default: PortMap::Defaults(). Installed at program start for the
// whole run, with the --port, --trace and --simulate options applied, and by tests and the
// bench (in-process cards, scripted devices). Threads: installed and changed on the main
// thread before any conversation; read, never changed, by whichever thread opens a port
// (in the windows the conversation worker).
PortMap& CurrentPortMap();
// Installs `map` (not owned; null restores the defaults).
void SetPortMap(PortMap* map);

}  // namespace zo::comm
