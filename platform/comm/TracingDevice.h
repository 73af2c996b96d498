#pragma once

#include <memory>

#include "platform/comm/ByteTrace.h"
#include "platform/comm/SerialDevice.h"

namespace zo::comm {

// Passes every call to the device it wraps and writes the bytes to a trace.
class TracingDevice : public SerialDevice {
public:
    TracingDevice(std::unique_ptr<SerialDevice> device, std::shared_ptr<ByteTrace> trace);
    ~TracingDevice() override;

    bool Read(std::span<char> buf, std::size_t* got) override;
    WaitResult WaitReadable(platform::Clock::TimePoint deadline) override;
    bool Write(std::string_view data) override;
    bool GetState(LineState* state) override { return m_device->GetState(state); }
    bool SetState(const LineState& state) override;
    void ClearError(CommStatus* status) override { m_device->ClearError(status); }
    Capabilities GetCapabilities() override { return m_device->GetCapabilities(); }
    std::string Describe() const override { return m_device->Describe(); }
    int PendingError() const override { return m_device->PendingError(); }
    bool Lost() const override { return m_device->Lost(); }

private:
    // "what failed: the system's reason" when the device knows one.
    std::string Failure(const char* what) const;

    std::unique_ptr<SerialDevice> m_device;
    std::shared_ptr<ByteTrace> m_trace;
};

}  // namespace zo::comm
