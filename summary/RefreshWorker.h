#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "summary/Event.h"
#include "summary/RefreshRequest.h"

namespace zo::summary {

// The refresh events: process-wide, made at program start and never installed or replaced.
// Set, reset and waited on from any thread. They serve one worker at a time (the one
// product page); the page reaches them only through its RefreshWorker, the tests directly.
extern Event tickEvent;  // auto-reset: a timer tick, or the stop sequence's wake-up call
extern Event stopEvent;  // manual-reset: the worker is to end
extern Event doneEvent;  // auto-reset: the worker has ended

// Hands a request to the user-interface thread, which serves it when it next dispatches.
using RefreshPoster = std::function<void(std::shared_ptr<RefreshRequest>)>;

// The worker's loop: on each tick, unless stopped, one request, waited for until served
// or stopped; on the stop, doneEvent and the end.
void RunRefreshWorker(const RefreshPoster& post);

// One worker thread per activation of the product page. The thread runs RunRefreshWorker
// and touches nothing but the events and the poster: the user-interface thread serves
// the request and runs the card conversation. Start, Stop, Tick and DropTicks are called
// from the user-interface thread.
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
    // A timer tick: the worker asks for one refresh; ticks before it asks collapse into one.
    void Tick();
    // Forgets a tick not yet taken up, so the next refresh waits for the next one.
    void DropTicks();

private:
    std::thread m_thread;
};

}  // namespace zo::summary
