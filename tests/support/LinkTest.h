#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "link/LinkContext.h"
#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "support/ScriptedLine.h"
#include "support/ScriptedPrompter.h"

namespace zo::link {
class ModemChannel;
}

namespace zo::test {

// A virtual clock, a scripted prompter and a port map in which every name maps to
// nothing until the test maps it, handed to each channel in its context; the clock and the
// port map in force stay the program's unless a test installs these.
class LinkTest : public ::testing::Test {
protected:
    LinkTest();
    ~LinkTest() override;

    // The context for the test's channels.
    link::LinkContext Context() { return {&clock, &ports, &prompter}; }
    // Installs the clock and the port map as main() does, for code that reads the ones in
    // force (the command line); the ones in force before are put back at the end.
    void InstallProcessWide();

    // Virtual time since the test began.
    std::chrono::milliseconds Elapsed();
    // The string-table text of `id`.
    static std::string Text(int id);

    platform::VirtualClock clock;
    comm::PortMap ports;
    ScriptedPrompter prompter;
    platform::Clock::TimePoint start;

private:
    platform::Clock* m_previousClock = nullptr;
    comm::PortMap* m_previousPorts = nullptr;
};

// The working profile "Office" on COM3: one terminal on NI-1, hardware flow at 115200.
void FillOfficeProfile(link::ModemChannel& channel);

}  // namespace zo::test
