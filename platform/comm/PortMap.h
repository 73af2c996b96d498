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

// Where a port's device comes from, for the user who asks why a name means a device.
enum class PortSource {
    Default,      // COMn on /dev/ttyS(n-1)
    Saved,        // the user's port settings file
    CommandLine,  // --port for this run
    Simulated,    // the built-in simulated card
    Program,      // set by the program itself (tests, the bench)
};

// Resolves a port name ("COM1".."COM4") to a device: a tty path or an in-process
// device. Names compare without regard to ASCII case; a name that maps to nothing
// fails to open like an absent device.
class PortMap {
public:
    // COM1..COM4 on /dev/ttyS0../dev/ttyS3.
    static PortMap Defaults();

    void MapToPath(const std::string& name, const std::string& path,
                   PortSource source = PortSource::Program);
    void MapToDevice(const std::string& name, DeviceOpener opener);
    void Unmap(const std::string& name);
    void Clear();

    bool IsMapped(const std::string& name) const;
    // The tty path behind a name, or empty.
    std::string PathOf(const std::string& name) const;
    PortSource SourceOf(const std::string& name) const;

    // The user's port settings file this map was read from and saves to; empty: this run
    // keeps no port settings (the simulated card, tests).
    void SetSavedPortsFile(std::string path) { m_savedPortsFile = std::move(path); }
    const std::string& SavedPortsFile() const { return m_savedPortsFile; }
    // Points a COM name at a device for good (an empty device: back to its default),
    // in the settings file and in this map; false with the reason, changing nothing.
    bool SavePort(const std::string& name, const std::string& device, std::string* error);

    // Every byte through a device opened from now on is written to `trace` (null: none).
    void SetTrace(std::shared_ptr<ByteTrace> trace) { m_trace = std::move(trace); }

    std::unique_ptr<SerialDevice> Open(const std::string& name, std::string* error) const;

private:
    struct Entry {
        std::string name;
        std::string path;
        DeviceOpener opener;
        PortSource source = PortSource::Program;
    };
    const Entry* Find(const std::string& name) const;

    std::vector<Entry> m_entries;
    std::shared_ptr<ByteTrace> m_trace;
    std::string m_savedPortsFile;
};

// The port map in force, a process-wide seam read at each open: link::SerialPort opens
// every port through it unless its channel's context hands it another. Default:
// PortMap::Defaults(). Installed at program start for the whole run, with the user's saved ports
// and the --port, --trace and --simulate options applied, and by tests and the bench (in-process
// cards, scripted devices). Threads: installed and changed on the main thread while no conversation
// runs (the windows save a port between conversations); read by whichever thread opens a port (in
// the windows the conversation worker).
PortMap& CurrentPortMap();
// Installs `map` (not owned; null restores the defaults).
void SetPortMap(PortMap* map);

}  // namespace zo::comm
