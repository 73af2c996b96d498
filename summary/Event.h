#pragma once

#include "platform/threads/Mutex.h"

namespace zo::summary {

// An event object as the refresh worker and the product page share them: set, reset and
// waited on from any thread. An auto-reset event lets one wait through and falls back to
// not signalled; a manual-reset one stays signalled until it is reset.
class Event {
public:
    enum class Kind { AutoReset, ManualReset };

    explicit Event(Kind kind, bool signalled = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // Waits without time-out.
    void Wait();
    // A wait with a zero time-out: whether the event was signalled (an auto-reset event
    // is consumed).
    bool Poll();
    // Waits until one of the two is signalled and returns its index (0 or 1); the first
    // wins when both are.
    static int WaitAny(Event& first, Event& second);

private:
    // All events share one lock and one condition, so that a thread can wait on several at
    // once; they are few and rarely signalled.
    static threads::Mutex& Lock();
    bool TakeLocked() ZO_REQUIRES(Lock());

    Kind m_kind;
    bool m_signalled ZO_GUARDED_BY(Lock());
};

}  // namespace zo::summary
