#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "link/LinkContext.h"
#include "link/ModemChannel.h"
#include "link/WorkingProfile.h"
#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "support/ScriptedLine.h"
#include "support/ScriptedPrompter.h"

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

// Changes the channel's line settings as a page does: `LineEdit(channel)->port = "COM3";`
// hands the changed line to the channel at the end of the statement.
class LineEdit {
public:
    explicit LineEdit(link::ModemChannel& channel) : m_channel(channel), m_line(channel.Line()) {}
    ~LineEdit() { m_channel.SetLine(m_line); }
    LineEdit(const LineEdit&) = delete;
    LineEdit& operator=(const LineEdit&) = delete;
    link::LineSettings* operator->() { return &m_line; }

private:
    link::ModemChannel& m_channel;
    link::LineSettings m_line;
};

// The working profile "Office" on COM3: one terminal on NI-1, hardware flow at 115200.
// The channel's line is set from it.
void FillOfficeProfile(link::ModemChannel& channel, link::WorkingProfile& profile);

}  // namespace zo::test
