#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "support/ScriptedLine.h"
#include "support/ScriptedPrompter.h"

namespace zo::link {
class ModemChannel;
}

namespace zo::test {

// A virtual clock, a scripted prompter and a port map in which every name maps to
// nothing until the test maps it.
class LinkTest : public ::testing::Test {
protected:
    LinkTest();
    ~LinkTest() override;

    // Virtual time since the test began.
    std::chrono::milliseconds Elapsed();
    // The string-table text of `id`.
    static std::string Text(int id);

    platform::VirtualClock clock;
    comm::PortMap ports;
    ScriptedPrompter prompter;
    platform::Clock::TimePoint start;
};

// The working profile "Office" on COM3: one terminal on NI-1, hardware flow at 115200.
void FillOfficeProfile(link::ModemChannel& channel);

}  // namespace zo::test
