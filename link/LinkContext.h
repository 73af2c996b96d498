#pragma once

#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "platform/prompt/Prompter.h"

namespace zo::link {

// What the link talks to the card through: the clock (pauses, read windows and bounds),
// the port map (which device a port name opens) and the prompter (its messages and
// questions, and the wait cursor). Each one not handed in is the process-wide one in force
// at each use, as main() and the command line's LinkSetup install them. The windows hand
// no prompter in: each card conversation puts its proxy in front of the one in force.
// Not owned: what is handed in outlives every channel given this context.
struct LinkContext {
    platform::Clock* clock = nullptr;
    comm::PortMap* ports = nullptr;
    platform::Prompter* prompter = nullptr;

    platform::Clock& Clock() const { return clock ? *clock : platform::CurrentClock(); }
    comm::PortMap& Ports() const { return ports ? *ports : comm::CurrentPortMap(); }
    platform::Prompter& Prompter() const {
        return prompter ? *prompter : platform::CurrentPrompter();
    }
};

// Shows the wait cursor for its own lifetime through the context's prompter, read at each
// end as platform::WaitCursor reads the one in force.
class ContextWaitCursor {
public:
    explicit ContextWaitCursor(const LinkContext& context) : m_context(context) {
        m_context.Prompter().BeginWaitCursor();
    }
    ~ContextWaitCursor() { m_context.Prompter().EndWaitCursor(); }
    ContextWaitCursor(const ContextWaitCursor&) = delete;
    ContextWaitCursor& operator=(const ContextWaitCursor&) = delete;

private:
    const LinkContext& m_context;
};

}  // namespace zo::link
