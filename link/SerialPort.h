#pragma once

#include <memory>
#include <string>

#include "link/LinkContext.h"
#include "platform/comm/SerialDevice.h"

namespace zo::link {

// The reporting form shows message 111 when the open fails and records the name; the
// quiet form shows nothing and leaves the name empty, so the port is never reused.
enum class OpenMode { Reporting, Quiet };

// One opened COM port, resolved through the context's port map. It is never opened twice:
// to retry or to change ports the channel destroys it and makes a new one. Destroying it
// closes the device.
// Seams, from its channel's context: the port map (the open) and the prompter (message 111
// when a reporting open fails). Thread: its channel's.
class SerialPort {
public:
    SerialPort(const std::string& portName, OpenMode mode, const LinkContext& context);
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool IsOpen() const { return m_open; }
    std::string GetName() const { return Name; }
    // The port name the device was opened under, in both forms.
    const std::string& PortName() const { return m_portName; }
    // Why the open failed (device path and system error); empty after a good open.
    const std::string& OpenError() const { return m_openError; }

    // Reads the device's line state into State.
    bool GetState();
    // Writes State to the device.
    bool SetState();

    // The capabilities the device reported at open.
    comm::Capabilities Properties;
    comm::LineState State;
    // The open device, or null when the open failed.
    std::unique_ptr<comm::SerialDevice> Handle;
    // Filled whenever the channel clears a communication error.
    comm::CommStatus Status;
    std::string Name;

private:
    bool m_open = false;
    std::string m_portName;
    std::string m_openError;
};

}  // namespace zo::link
