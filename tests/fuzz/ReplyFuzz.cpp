// The channel's reply collection fed by a device that returns arbitrary bytes in
// arbitrary pieces at arbitrary times, or fails. Whatever comes, a reply stays within its
// cap and the collection ends within its bound.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "link/ModemChannel.h"
#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "platform/comm/SerialDevice.h"
#include "platform/prompt/Prompter.h"

namespace {

using namespace std::chrono_literals;
using zo::platform::Clock;

// The input is a list of pieces: a control byte (low 5 bits: delay in 100 ms steps; bit 5:
// fail instead of delivering; bits 6-7 with the next byte: length), then the bytes.
class FuzzDevice : public zo::comm::SerialDevice {
public:
    FuzzDevice(std::string_view input, zo::platform::VirtualClock& clock)
        : m_in(input), m_clock(clock) {
        Schedule();
    }

    bool Read(std::span<char> buf, std::size_t* got) override {
        *got = 0;
        while (m_ready && m_clock.Now() >= m_due && *got < buf.size()) {
            if (m_fail) {
                return false;
            }
            std::size_t n = std::min(buf.size() - *got, m_piece.size());
            m_piece.copy(buf.data() + *got, n);
            *got += n;
            m_piece.remove_prefix(n);
            if (m_piece.empty()) {
                Schedule();
            }
        }
        return true;
    }
    zo::comm::WaitResult WaitReadable(Clock::TimePoint deadline) override {
        if (m_ready && m_due <= deadline) {
            if (m_clock.Now() < m_due) {
                m_clock.Advance(m_due - m_clock.Now());
            }
            return m_fail ? zo::comm::WaitResult::Failed : zo::comm::WaitResult::Readable;
        }
        if (m_clock.Now() < deadline) {
            m_clock.Advance(deadline - m_clock.Now());
        }
        return zo::comm::WaitResult::Timeout;
    }
    bool Write(std::string_view) override { return true; }
    bool GetState(zo::comm::LineState*) override { return true; }
    bool SetState(const zo::comm::LineState&) override { return true; }
    void ClearError(zo::comm::CommStatus* status) override {
        if (status) {
            *status = {};
        }
    }
    zo::comm::Capabilities GetCapabilities() override { return {zo::comm::kCapIntervalTimeouts}; }
    std::string Describe() const override { return "fuzz"; }

private:
    void Schedule() {
        m_ready = false;
        if (m_in.size() < 2) {
            return;
        }
        unsigned control = static_cast<unsigned char>(m_in[0]);
        std::size_t length = (control >> 6) << 8 | static_cast<unsigned char>(m_in[1]);
        m_in.remove_prefix(2);
        length = std::min(length, m_in.size());
        m_piece = m_in.substr(0, length);
        m_in.remove_prefix(length);
        m_fail = (control & 0x20) != 0;
        m_due = m_clock.Now() + (control & 0x1F) * 100ms;
        m_ready = m_fail || !m_piece.empty();
        if (!m_ready) {
            Schedule();
        }
    }

    std::string_view m_in;
    zo::platform::VirtualClock& m_clock;
    std::string_view m_piece;
    Clock::TimePoint m_due{};
    bool m_ready = false;
    bool m_fail = false;
};

class SilentPrompter : public zo::platform::Prompter {
public:
    zo::platform::Answer Ask(const std::string&, zo::platform::Buttons, zo::platform::Icon,
                             const std::string&) override {
        return zo::platform::Answer::Cancel;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    zo::platform::VirtualClock clock;
    SilentPrompter prompter;
    zo::comm::PortMap ports;
    ports.MapToDevice("COM1",
                      [&](std::string*) { return std::make_unique<FuzzDevice>(input, clock); });
    zo::platform::SetClock(&clock);
    zo::platform::SetPrompter(&prompter);
    zo::comm::SetPortMap(&ports);
    {
        zo::link::ModemChannel channel;
        if (channel.OpenPortByName("COM1")) {
            for (int round = 0; round < 2; ++round) {
                std::string reply;
                auto start = clock.Now();
                bool ok = (round == 0 ? channel.ReadReply(reply) : channel.ReadUntilOK(reply)).Ok();
                auto took = clock.Now() - start;
                if (reply.size() > zo::link::kReplyCap ||
                    took > zo::link::kOkBound + zo::link::kReplyWindow) {
                    __builtin_trap();
                }
                if (round == 1 && ok && reply.find("OK") == std::string::npos) {
                    __builtin_trap();
                }
            }
        }
    }
    zo::comm::SetPortMap(nullptr);
    zo::platform::SetPrompter(nullptr);
    zo::platform::SetClock(nullptr);
    return 0;
}
