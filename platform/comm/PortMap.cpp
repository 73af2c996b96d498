#include "platform/comm/PortMap.h"

#include <algorithm>

#include "platform/comm/ByteTrace.h"
#include "platform/comm/SavedPorts.h"
#include "platform/comm/TracingDevice.h"
#include "platform/comm/TtyDevice.h"
#include "res/Translation.h"

namespace zo::comm {
namespace {

PortMap* g_map = nullptr;

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

}  // namespace

PortMap PortMap::Defaults() {
    PortMap map;
    for (int i = 1; i <= 4; ++i) {
        map.MapToPath("COM" + std::to_string(i), "/dev/ttyS" + std::to_string(i - 1),
                      PortSource::Default);
    }
    return map;
}

void PortMap::MapToPath(const std::string& name, const std::string& path, PortSource source) {
    Unmap(name);
    m_entries.push_back(Entry{name, path, nullptr, source});
}

void PortMap::MapToDevice(const std::string& name, DeviceOpener opener) {
    Unmap(name);
    m_entries.push_back(Entry{name, {}, std::move(opener)});
}

void PortMap::Unmap(const std::string& name) {
    std::erase_if(m_entries, [&](const Entry& e) { return SameName(e.name, name); });
}

void PortMap::Clear() {
    m_entries.clear();
}

const PortMap::Entry* PortMap::Find(const std::string& name) const {
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const Entry& e) { return SameName(e.name, name); });
    return it == m_entries.end() ? nullptr : &*it;
}

bool PortMap::IsMapped(const std::string& name) const {
    return Find(name) != nullptr;
}

std::string PortMap::PathOf(const std::string& name) const {
    const Entry* e = Find(name);
    return e ? e->path : std::string();
}

PortSource PortMap::SourceOf(const std::string& name) const {
    const Entry* e = Find(name);
    return e ? e->source : PortSource::Program;
}

bool PortMap::SavePort(const std::string& name, const std::string& device, std::string* error) {
    const std::string port = CanonicalPortName(name);
    if (port.empty()) {
        *error = res::Fill(res::Tr("\"%1\" is not one of COM1-COM4"), {name});
        return false;
    }
    if (m_savedPortsFile.empty()) {
        *error = res::Tr("this run keeps no port settings (the simulated card is attached)");
        return false;
    }
    if (!device.empty()) {
        if (std::string why = RefuseAsPortDevice(device); !why.empty()) {
            *error = why;
            return false;
        }
    }
    if (!SaveSavedPort(m_savedPortsFile, port, device, error)) {
        return false;
    }
    if (device.empty()) {
        MapToPath(port, Defaults().PathOf(port), PortSource::Default);
    } else {
        MapToPath(port, device, PortSource::Saved);
    }
    return true;
}

std::unique_ptr<SerialDevice> PortMap::Open(const std::string& name, std::string* error) const {
    std::string ignored;
    if (!error) {
        error = &ignored;
    }
    const Entry* e = Find(name);
    std::unique_ptr<SerialDevice> device;
    if (!e) {
        *error = res::Fill(res::Tr("%1: no device for this port"),
                           {name.empty() ? res::Tr("(no port name)") : name});
    } else if (e->opener) {
        device = e->opener(error);
    } else {
        device = TtyDevice::Open(e->path, error);
    }
    if (m_trace) {
        m_trace->Note("open " + name + " (" + (device ? device->Describe() : *error) + ")" +
                      (device ? "" : " failed"));
        if (device) {
            device = std::make_unique<TracingDevice>(std::move(device), m_trace);
        }
    }
    return device;
}

PortMap& CurrentPortMap() {
    static PortMap defaults = PortMap::Defaults();
    return g_map ? *g_map : defaults;
}

void SetPortMap(PortMap* map) {
    g_map = map;
}

}  // namespace zo::comm
