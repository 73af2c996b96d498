#pragma once

#include <chrono>

namespace zo::registry {

// How the hive spends a wait for another program's lock once the user would notice it
// (from about 50 ms on; shorter waits are plain pauses on the clock). Begin and End
// bracket one such wait; Pause passes one slice of it. SQLite calls the pause from inside
// the statement that waits, so nothing may reach that hive meanwhile: the hive refuses
// every call made during a pause.
class LockWait {
public:
    virtual ~LockWait() = default;
    virtual void Begin() {}
    virtual void Pause(std::chrono::milliseconds slice) = 0;
    virtual void End() {}
};

// Pauses on the clock seam, blocking the thread that waits: the command line, the
// conversation worker, the core's tests.
class SleepingLockWait : public LockWait {
public:
    void Pause(std::chrono::milliseconds slice) override;
};

// The lock wait in force, a process-wide seam read at each wait. Default: the sleeping
// one. Installed by the windows' start (ui::PaintingLockWait, which keeps the windows
// painting when the user-interface thread waits) and by tests. Threads: installed on the
// main thread while no store call is under way; the installer keeps it alive until it puts
// the previous one back. Read on whichever thread uses the hive.
LockWait& CurrentLockWait();
// Installs `wait` (not owned; null restores the sleeping one).
void SetLockWait(LockWait* wait);

}  // namespace zo::registry
