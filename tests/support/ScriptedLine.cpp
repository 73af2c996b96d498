#include "support/ScriptedLine.h"

#include <algorithm>

namespace zo::test {

namespace {

class ScriptedDevice : public comm::SerialDevice {
public:
    ScriptedDevice(std::shared_ptr<ScriptedLine> line, platform::Clock& clock)
        : m_line(std::move(line)), m_clock(clock), m_start(clock.Now()) {
        m_line->open = true;
    }
    ~ScriptedDevice() override { m_line->open = false; }

    bool Read(std::span<char> buf, std::size_t* got) override {
        ++m_line->reads;
        *got = 0;
        if (m_line->failReads) {
            m_error = 5;
            return false;
        }
        auto& in = m_line->incoming;
        while (!in.empty() && Due(in.front()) && *got < buf.size()) {
            auto& bytes = in.front().bytes;
            std::size_t n = std::min(bytes.size(), buf.size() - *got);
            std::copy_n(bytes.begin(), n, buf.begin() + static_cast<long>(*got));
            *got += n;
            bytes.erase(0, n);
            if (bytes.empty()) {
                in.pop_front();
            }
        }
        return true;
    }

    comm::WaitResult WaitReadable(platform::Clock::TimePoint deadline) override {
        ++m_line->waits;
        if (m_line->failReads) {
            return comm::WaitResult::Failed;
        }
        auto& in = m_line->incoming;
        if (!in.empty() && Due(in.front())) {
            return comm::WaitResult::Readable;
        }
        auto until = in.empty() ? deadline : std::min(deadline, m_start + in.front().at);
        if (until > m_clock.Now()) {
            m_clock.Sleep(std::chrono::ceil<std::chrono::milliseconds>(until - m_clock.Now()));
        }
        return !in.empty() && Due(in.front()) ? comm::WaitResult::Readable
                                              : comm::WaitResult::Timeout;
    }

    bool Write(std::string_view data) override {
        if (m_line->failingWrites != 0) {
            if (m_line->failingWrites > 0) {
                --m_line->failingWrites;
            }
            m_error = 5;
            return false;
        }
        m_line->written.emplace_back(data);
        return true;
    }
    bool GetState(comm::LineState* s) override {
        *s = m_state;
        return true;
    }
    bool SetState(const comm::LineState& s) override {
        m_state = s;
        return true;
    }
    void ClearError(comm::CommStatus* status) override {
        status->lastError = m_error;
        m_error = 0;
    }
    comm::Capabilities GetCapabilities() override {
        return comm::Capabilities{m_line->immediateReads ? comm::kCapIntervalTimeouts : 0u};
    }
    std::string Describe() const override { return "scripted line"; }

private:
    bool Due(const ScriptedLine::Chunk& c) const { return m_clock.Now() >= m_start + c.at; }

    std::shared_ptr<ScriptedLine> m_line;
    platform::Clock& m_clock;
    platform::Clock::TimePoint m_start;
    comm::LineState m_state{9600};
    int m_error = 0;
};

class FailingWriteDevice : public comm::SerialDevice {
public:
    FailingWriteDevice(std::unique_ptr<comm::SerialDevice> inner,
                       std::function<bool(std::string_view)> fails)
        : m_inner(std::move(inner)), m_fails(std::move(fails)) {}
    bool Read(std::span<char> buf, std::size_t* got) override { return m_inner->Read(buf, got); }
    comm::WaitResult WaitReadable(platform::Clock::TimePoint d) override {
        return m_inner->WaitReadable(d);
    }
    bool Write(std::string_view data) override { return !m_fails(data) && m_inner->Write(data); }
    bool GetState(comm::LineState* s) override { return m_inner->GetState(s); }
    bool SetState(const comm::LineState& s) override { return m_inner->SetState(s); }
    void ClearError(comm::CommStatus* s) override { m_inner->ClearError(s); }
    comm::Capabilities GetCapabilities() override { return m_inner->GetCapabilities(); }
    std::string Describe() const override { return m_inner->Describe(); }

private:
    std::unique_ptr<comm::SerialDevice> m_inner;
    std::function<bool(std::string_view)> m_fails;
};

}  // namespace

comm::DeviceOpener ScriptedOpener(std::shared_ptr<ScriptedLine> line, platform::Clock& clock) {
    return [line, &clock](std::string*) { return std::make_unique<ScriptedDevice>(line, clock); };
}

comm::DeviceOpener FailingWrites(comm::DeviceOpener inner,
                                 std::function<bool(std::string_view)> fails) {
    return [inner, fails](std::string* error) -> std::unique_ptr<comm::SerialDevice> {
        auto device = inner(error);
        if (!device) {
            return nullptr;
        }
        return std::make_unique<FailingWriteDevice>(std::move(device), fails);
    };
}

}  // namespace zo::test
