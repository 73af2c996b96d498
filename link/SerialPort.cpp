#include "link/SerialPort.h"

#include "res/Strings.h"
#include "res/Translation.h"

namespace zo::link {

SerialPort::SerialPort(const std::string& portName, OpenMode mode, const LinkContext& context)
    : m_portName(portName) {
    if (mode == OpenMode::Reporting) {
        Name = portName;
    }
    Handle = context.Ports().Open(portName, &m_openError);
    if (!Handle) {
        // The map's reason names the device (or the port itself, when it has none, in any
        // language's punctuation); the user chose the port by its name.
        if (!portName.empty() && m_openError.compare(0, portName.size(), portName) != 0) {
            m_openError = res::Fill(res::Tr("%1 on %2"), {portName, m_openError});
        }
        if (mode == OpenMode::Reporting) {
            context.Prompter().Ask(res::LoadString(res::IDS_PORT_UNSUPPORTED),
                                   platform::Buttons::Ok, platform::Icon::None, m_openError);
        }
        return;
    }
    m_open = true;
    m_openError.clear();
    Properties = Handle->GetCapabilities();
}

SerialPort::~SerialPort() = default;

bool SerialPort::GetState() {
    return Handle && Handle->GetState(&State);
}

bool SerialPort::SetState() {
    return Handle && Handle->SetState(State);
}

}  // namespace zo::link
