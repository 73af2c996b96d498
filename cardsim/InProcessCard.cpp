#include "cardsim/InProcessCard.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/comm/TtyDevice.h"
#include "res/Translation.h"

namespace zo::cardsim {

struct InProcessCard::Shared {
    Shared(platform::Clock& c, std::string nvram) : clock(c), model(c, std::move(nvram)) {}
    platform::Clock& clock;
    CardModel model;
    bool open = false;
    int openCount = 0;
    // Bumped at each replug: a handle of an earlier generation is a device that has gone.
    int generation = 0;
    std::optional<comm::LineState> lineState;
    std::vector<std::string> writes;
};

namespace {

using Shared = InProcessCard::Shared;

class InProcessPort : public comm::SerialDevice {
public:
    explicit InProcessPort(std::shared_ptr<Shared> card)
        : m_card(std::move(card)), m_generation(m_card->generation) {
        m_card->open = true;
        ++m_card->openCount;
    }
    ~InProcessPort() override {
        if (m_generation == m_card->generation) {
            m_card->open = false;
        }
    }

    bool Lost() const override {
        return m_card->model.HungUp() || m_generation != m_card->generation;
    }

    bool Read(std::span<char> buf, std::size_t* got) override {
        *got = 0;
        if (Lost()) {
            return Fail(EIO);
        }
        m_pending += m_card->model.TakeDueOutput();
        *got = std::min(buf.size(), m_pending.size());
        std::copy_n(m_pending.begin(), *got, buf.begin());
        m_pending.erase(0, *got);
        return true;
    }

    comm::WaitResult WaitReadable(platform::Clock::TimePoint deadline) override {
        auto& clock = m_card->clock;
        for (;;) {
            if (Lost()) {
                Fail(EIO);
                return comm::WaitResult::Failed;
            }
            m_pending += m_card->model.TakeDueOutput();
            if (!m_pending.empty()) {
                return comm::WaitResult::Readable;
            }
            auto now = clock.Now();
            if (now >= deadline) {
                return comm::WaitResult::Timeout;
            }
            auto next = m_card->model.NextOutputDue();
            auto until = next && *next < deadline ? *next : deadline;
            clock.Sleep(std::max(std::chrono::ceil<std::chrono::milliseconds>(until - now),
                                 std::chrono::milliseconds(1)));
        }
    }

    bool Write(std::string_view data) override {
        if (Lost()) {
            return Fail(EIO);
        }
        int& failing = m_card->model.Faults().failingWrites;
        if (failing != 0) {
            if (failing > 0) {
                --failing;
            }
            return Fail(EIO);
        }
        if (m_card->writes.size() >= CardModel::kLineHistory) {
            m_card->writes.erase(m_card->writes.begin(),
                                 m_card->writes.begin() + CardModel::kLineHistory / 2);
        }
        m_card->writes.emplace_back(data);
        m_card->model.Receive(data);
        return true;
    }

    bool GetState(comm::LineState* state) override {
        *state = m_state;
        return true;
    }

    bool SetState(const comm::LineState& s) override {
        unsigned speed = 0;
        // Refused as the termios device refuses it, so both behave alike under test.
        if (!comm::TtyDevice::SpeedConstant(s.baudRate, &speed) || s.byteSize < 5 ||
            s.byteSize > 8 || s.parity > comm::kSpaceParity || s.stopBits == comm::kOne5StopBits ||
            s.stopBits > comm::kTwoStopBits || s.outxDsrFlow || s.dsrSensitivity ||
            s.dtrControl == comm::DtrControl::Handshake ||
            s.rtsControl == comm::RtsControl::Toggle) {
            return Fail(EINVAL);
        }
        m_state = s;
        m_card->lineState = s;
        return true;
    }

    void ClearError(comm::CommStatus* status) override {
        comm::CommStatus s;
        s.inQueue = m_pending.size();
        s.lastError = std::exchange(m_lastError, 0);
        if (status) {
            *status = s;
        }
    }

    comm::Capabilities GetCapabilities() override {
        return comm::Capabilities{
            m_card->model.Faults().noImmediateReads ? 0u : comm::kCapIntervalTimeouts};
    }

    std::string Describe() const override { return res::Tr("in-process card"); }

private:
    bool Fail(int error) {
        m_lastError = error;
        return false;
    }

    std::shared_ptr<Shared> m_card;
    int m_generation;
    std::string m_pending;
    comm::LineState m_state{9600};
    int m_lastError = 0;
};

}  // namespace

InProcessCard::InProcessCard(platform::Clock& clock, std::string nvramPath)
    : m_shared(std::make_shared<Shared>(clock, std::move(nvramPath))) {}

InProcessCard::~InProcessCard() = default;

CardModel& InProcessCard::Model() {
    return m_shared->model;
}

comm::DeviceOpener InProcessCard::Opener() {
    return [card = m_shared](std::string* error) -> std::unique_ptr<comm::SerialDevice> {
        if (card->model.HungUp()) {
            *error = res::Tr("in-process card: No such device (the card is not plugged in)");
            return nullptr;
        }
        if (card->open) {
            *error = res::Tr("in-process card: in use by another program");
            return nullptr;
        }
        return std::make_unique<InProcessPort>(card);
    };
}

void InProcessCard::Unplug() {
    m_shared->model.Unplug();
}

void InProcessCard::Replug() {
    m_shared->model.Replug();
    ++m_shared->generation;
    // The old handle, should the program still hold it, no longer holds the card.
    m_shared->open = false;
}

bool InProcessCard::IsOpen() const {
    return m_shared->open;
}

int InProcessCard::OpenCount() const {
    return m_shared->openCount;
}

const comm::LineState* InProcessCard::LastLineState() const {
    return m_shared->lineState ? &*m_shared->lineState : nullptr;
}

const std::vector<std::string>& InProcessCard::Writes() const {
    return m_shared->writes;
}

}  // namespace zo::cardsim
