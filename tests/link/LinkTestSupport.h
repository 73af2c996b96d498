#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "platform/prompt/Prompter.h"

namespace zo::link {
class ModemChannel;
}

namespace zo::test {

// Records every question and answers from a script; when the script runs out it answers
// Ok for an OK box and Cancel otherwise.
class ScriptedPrompter : public platform::Prompter {
public:
    platform::Answer Ask(const std::string& text, platform::Buttons buttons, platform::Icon icon,
                         const std::string& detail) override;
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }

    std::vector<std::string> texts;
    std::vector<std::string> details;
    std::vector<platform::Buttons> buttons;
    std::deque<platform::Answer> answers;
    // Runs at each question before it is answered (a card put back while the box is open).
    std::function<void(const std::string&)> onAsk;
    int waitDepth = 0;
};

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

// A device whose input is scripted: each chunk becomes readable at its time. Waits move
// the virtual clock like the in-process card's.
struct ScriptedLine {
    struct Chunk {
        std::chrono::milliseconds at;
        std::string bytes;
    };
    std::deque<Chunk> incoming;
    std::vector<std::string> written;
    int reads = 0;
    int waits = 0;
    bool failReads = false;
    int failingWrites = 0;
    bool immediateReads = true;
    bool open = false;
};

comm::DeviceOpener ScriptedOpener(std::shared_ptr<ScriptedLine> line, platform::Clock& clock);

// The working profile "Office" on COM3: one terminal on NI-1, hardware flow at 115200.
void FillOfficeProfile(link::ModemChannel& channel);

// Wraps an opener so that writes for which `fails` holds are refused.
comm::DeviceOpener FailingWrites(comm::DeviceOpener inner,
                                 std::function<bool(std::string_view)> fails);

}  // namespace zo::test
