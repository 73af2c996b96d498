#pragma once

#include <chrono>
#include <memory>

#include "platform/registry/LockWait.h"

namespace zo::ui {

class InputHold;

// Keeps the windows painting while the user-interface thread waits for another program's
// lock on the store: each pause turns the event loop for its slice, and the windows open
// when the wait began are held (InputHold) until it ends, so no handler of theirs reaches
// the store meanwhile; a close asked for is carried out after. Off the user-interface
// thread (the conversation worker's save) or without an application it pauses on the clock
// as the core does. Installed by the windows' start for their lifetime.
class PaintingLockWait : public registry::LockWait {
public:
    PaintingLockWait();
    ~PaintingLockWait() override;
    PaintingLockWait(const PaintingLockWait&) = delete;
    PaintingLockWait& operator=(const PaintingLockWait&) = delete;

    void Begin() override;
    void Pause(std::chrono::milliseconds slice) override;
    void End() override;

private:
    std::unique_ptr<InputHold> m_hold;
    registry::SleepingLockWait m_sleeping;
};

}  // namespace zo::ui
