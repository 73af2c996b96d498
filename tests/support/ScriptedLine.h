#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"

namespace zo::test {

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

// Wraps an opener so that writes for which `fails` holds are refused.
comm::DeviceOpener FailingWrites(comm::DeviceOpener inner,
                                 std::function<bool(std::string_view)> fails);

}  // namespace zo::test
