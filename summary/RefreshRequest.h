#pragma once

#include "platform/threads/Mutex.h"
#include "summary/Event.h"

namespace zo::summary {

// One synchronous refresh request from the product page's worker to the user-interface
// thread. The worker waits for it to be served or for the stop, whichever comes first;
// a request given up on the stop is never served, so the stop never waits on the page
// and the page never refreshes for a worker that is gone.
class RefreshRequest {
public:
    RefreshRequest() = default;
    RefreshRequest(const RefreshRequest&) = delete;
    RefreshRequest& operator=(const RefreshRequest&) = delete;

    // The serving side, before the refresh: false when the worker gave the request up.
    bool Begin();
    // The serving side, after the refresh, with the handler's result.
    void Finish(long result);
    // The worker's side: true once served; false when `stop` came first.
    bool AwaitOrAbandon(Event& stop);

    bool WasServed();
    bool WasAbandoned();
    long Result();

private:
    enum class State { Waiting, Serving, Served, Abandoned };

    threads::Mutex m_lock;
    State m_state ZO_GUARDED_BY(m_lock) = State::Waiting;
    long m_result ZO_GUARDED_BY(m_lock) = 0;
    Event m_served{Event::Kind::ManualReset};
};

}  // namespace zo::summary
