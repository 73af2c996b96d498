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

// The port map in force; the defaults until the program or a test installs another.
PortMap& CurrentPortMap();
// Installs `map` (not owned; null restores the defaults).
void SetPortMap(PortMap* map);

}  // namespace zo::comm
