#pragma once

#include <memory>
#include <string>

#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"

namespace zo::bench {

// An in-process card that answers every command line at once ("ATI9" and "ATI10" as the
// card does, anything else "OK") and keeps no record of the conversation, unlike the
// simulated card, so that memory measured over many conversations is the program's own.
// Waits move the virtual clock to their deadline.
class AnsweringCard {
public:
    explicit AnsweringCard(platform::VirtualClock& clock) : m_clock(clock) {}

    comm::DeviceOpener Opener();
    long CommandsAnswered() const { return *m_answered; }

private:
    platform::VirtualClock& m_clock;
    std::shared_ptr<long> m_answered = std::make_shared<long>(0);
};

}  // namespace zo::bench
