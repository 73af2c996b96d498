#include "bench/AnsweringCard.h"

#include <algorithm>

namespace zo::bench {
namespace {

class AnsweringDevice : public comm::SerialDevice {
public:
    AnsweringDevice(platform::VirtualClock& clock, std::shared_ptr<long> answered)
        : m_clock(clock), m_answered(std::move(answered)) {}

    bool Read(std::span<char> buf, std::size_t* got) override {
        *got = std::min(buf.size(), m_out.size());
        std::copy_n(m_out.begin(), *got, buf.begin());
        m_out.erase(0, *got);
        return true;
    }
    comm::WaitResult WaitReadable(platform::Clock::TimePoint deadline) override {
        if (!m_out.empty()) {
            return comm::WaitResult::Readable;
        }
        if (deadline > m_clock.Now()) {
            m_clock.Advance(deadline - m_clock.Now());
        }
        return comm::WaitResult::Timeout;
    }
    bool Write(std::string_view data) override {
        for (char c : data) {
            if (c == '\r') {
                Answer();
                m_line.clear();
            } else if (c != '\n' && c != '\0') {
                m_line += c;
            }
        }
        return true;
    }
    bool GetState(comm::LineState* state) override {
        *state = m_state;
        return true;
    }
    bool SetState(const comm::LineState& state) override {
        m_state = state;
        return true;
    }
    void ClearError(comm::CommStatus* status) override {
        if (status) {
            *status = {};
        }
    }
    comm::Capabilities GetCapabilities() override {
        return comm::Capabilities{comm::kCapIntervalTimeouts};
    }
    std::string Describe() const override { return "answering card"; }

private:
    void Answer() {
        if (m_line.find("AT") == std::string::npos) {
            return;
        }
        ++*m_answered;
        if (m_line.find("ATI9") != std::string::npos) {
            m_out +=
                "\r\nProduct Name: Ferronix ZO!(tm) Series PC Card\r\nSoftware Revision: "
                "2.10\r\nSoftware Release Date: 03/14/97\r\n";
        } else if (m_line.find("ATI10") != std::string::npos) {
            m_out +=
                "\r\nSwitch Type: NI-1\r\nDN 1: 5550100\r\nSPID 1: 20655501000101\r\nDN 2: "
                "\r\nSPID 2: \r\nLink Status: Active\r\n";
        } else if (m_line.find("ATI3") != std::string::npos) {
            m_out += "\r\nKest Ferronix ZO! Series ISDN PC Card\r\n";
        }
        m_out += "\r\nOK\r\n";
    }

    platform::VirtualClock& m_clock;
    std::shared_ptr<long> m_answered;
    comm::LineState m_state;
    std::string m_line;
    std::string m_out;
};

}  // namespace

comm::DeviceOpener AnsweringCard::Opener() {
    return [&clock = m_clock, answered = m_answered](std::string*) {
        return std::make_unique<AnsweringDevice>(clock, answered);
    };
}

}  // namespace zo::bench
