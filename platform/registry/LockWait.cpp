#include "platform/registry/LockWait.h"

#include "platform/clock/Clock.h"

namespace zo::registry {
namespace {
LockWait* g_wait = nullptr;
}  // namespace

void SleepingLockWait::Pause(std::chrono::milliseconds slice) {
    platform::CurrentClock().Sleep(slice);
}

LockWait& CurrentLockWait() {
    static SleepingLockWait sleeping;
    return g_wait ? *g_wait : sleeping;
}

void SetLockWait(LockWait* wait) {
    g_wait = wait;
}

}  // namespace zo::registry
