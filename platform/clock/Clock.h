#pragma once

#include <chrono>
#include <ctime>

namespace zo::platform {

// Pauses, read windows and deadlines of card conversations go through this seam, so
// tests can run a 2000 ms pause against the in-process card in no real time.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::steady_clock::duration;

    virtual ~Clock() = default;
    virtual TimePoint Now() = 0;
    virtual void Sleep(std::chrono::milliseconds ms) = 0;
    // Calendar time in whole seconds, as the C runtime's time().
    virtual std::time_t CalendarTime() = 0;
};

class SteadyClock : public Clock {
public:
    TimePoint Now() override { return std::chrono::steady_clock::now(); }
    void Sleep(std::chrono::milliseconds ms) override;
    std::time_t CalendarTime() override { return std::time(nullptr); }
};

// A clock that only moves when asked: Sleep advances it at once.
class VirtualClock : public Clock {
public:
    TimePoint Now() override { return m_now; }
    void Sleep(std::chrono::milliseconds ms) override { Advance(ms); }
    std::time_t CalendarTime() override {
        return m_epoch +
               std::chrono::duration_cast<std::chrono::seconds>(m_now - TimePoint{}).count();
    }
    void Advance(Duration d) { m_now += d; }

private:
    TimePoint m_now{};
    std::time_t m_epoch = 1'000'000'000;
};

// The clock in force, a process-wide seam read at each use: the channel's pauses and read
// deadlines (unless its context hands it another), the tty device's waits and the byte
// trace's times go through it. Default:
// the steady clock; the program never installs another. Tests and the bench install a
// virtual clock, before any thread that reads it starts, and put null back when done.
// Threads: SetClock on the main thread while no other thread reads it; CurrentClock on
// any thread (in the windows the conversation worker reads it). The simulated card is
// handed its clock instead.
Clock& CurrentClock();
// Installs `clock` (not owned; null restores the steady clock).
void SetClock(Clock* clock);

}  // namespace zo::platform
