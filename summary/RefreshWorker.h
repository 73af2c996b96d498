#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "summary/Event.h"
#include "summary/RefreshRequest.h"

namespace zo::summary {

// The product page's events, for the whole run of the program.
extern Event tickEvent;  // auto-reset: a timer tick, or the stop sequence's wake-up call
extern Event stopEvent;  // manual-reset: the worker is to end
extern Event doneEvent;  // auto-reset: the worker has ended

// Hands a request to the user-interface thread, which serves it when it next dispatches.
using RefreshPoster = std::function<void(std::shared_ptr<RefreshRequest>)>;

// The worker's loop: on each tick, unless stopped, one request, waited for until served
// or stopped; on the stop, doneEvent and the end.
void RunRefreshWorker(const RefreshPoster& post);

// One worker thread per activation of the product page.
class RefreshWorker {
public:
    RefreshWorker() = default;
    ~RefreshWorker();
    RefreshWorker(const RefreshWorker&) = delete;
    RefreshWorker& operator=(const RefreshWorker&) = delete;

    // Resets the stop (and any tick left from the last run) and starts a thread; false
    // when no thread could be started.
    bool Start(RefreshPoster post);
    // The stop sequence: stop, wake the worker, wait for its end. Only for a started worker.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

private:
    std::thread m_thread;
};

}  // namespace zo::summary
