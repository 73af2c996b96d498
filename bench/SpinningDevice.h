#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/comm/SerialDevice.h"

namespace zo::bench {

// The reference a naive channel would be: it waits for input by reading the device over
// and over without ever sleeping. Only for comparison; the program never uses it.
class SpinningDevice : public comm::SerialDevice {
public:
    explicit SpinningDevice(std::unique_ptr<comm::SerialDevice> inner);

    bool Read(std::span<char> buf, std::size_t* got) override;
    comm::WaitResult WaitReadable(platform::Clock::TimePoint deadline) override;
    bool Write(std::string_view data) override { return m_inner->Write(data); }
    bool GetState(comm::LineState* state) override { return m_inner->GetState(state); }
    bool SetState(const comm::LineState& state) override { return m_inner->SetState(state); }
    void ClearError(comm::CommStatus* status) override { m_inner->ClearError(status); }
    comm::Capabilities GetCapabilities() override { return m_inner->GetCapabilities(); }
    std::string Describe() const override { return m_inner->Describe(); }
    int PendingError() const override { return m_inner->PendingError(); }

private:
    std::unique_ptr<comm::SerialDevice> m_inner;
    // What a spinning read caught, handed out by the next Read.
    std::vector<char> m_caught;
};

}  // namespace zo::bench
