#include "summary/RefreshWorker.h"

#include <system_error>
#include <utility>

namespace zo::summary {

Event tickEvent{Event::Kind::AutoReset};
Event stopEvent{Event::Kind::ManualReset};
Event doneEvent{Event::Kind::AutoReset};

void RunRefreshWorker(const RefreshPoster& post) {
    for (;;) {
        tickEvent.Wait();
        if (stopEvent.Poll()) {
            break;
        }
        auto request = std::make_shared<RefreshRequest>();
        post(request);
        if (!request->AwaitOrAbandon(stopEvent)) {
            break;
        }
    }
    doneEvent.Set();
}

RefreshWorker::~RefreshWorker() {
    if (IsRunning()) {
        Stop();
    }
}

bool RefreshWorker::Start(RefreshPoster post) {
    if (IsRunning()) {
        Stop();
    }
    stopEvent.Reset();
    // A tick the last worker left unread would refresh at once instead of a period later.
    tickEvent.Reset();
    try {
        m_thread = std::thread([post = std::move(post)] { RunRefreshWorker(post); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void RefreshWorker::Stop() {
    if (!IsRunning()) {
        return;
    }
    stopEvent.Set();
    tickEvent.Set();
    doneEvent.Wait();
    m_thread.join();
}

void RefreshWorker::Tick() {
    tickEvent.Set();
}

void RefreshWorker::DropTicks() {
    tickEvent.Reset();
}

}  // namespace zo::summary
