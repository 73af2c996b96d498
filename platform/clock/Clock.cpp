#include "platform/clock/Clock.h"

#include <thread>

namespace zo::platform {
namespace {
Clock* g_clock = nullptr;
}  // namespace

void SteadyClock::Sleep(std::chrono::milliseconds ms) {
    std::this_thread::sleep_for(ms);
}

Clock& CurrentClock() {
    static SteadyClock steady;
    return g_clock ? *g_clock : steady;
}

void SetClock(Clock* clock) {
    g_clock = clock;
}

}  // namespace zo::platform
