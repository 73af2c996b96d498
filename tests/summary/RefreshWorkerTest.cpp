#include "summary/RefreshWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

using namespace std::chrono_literals;

namespace zo::summary {
namespace {

// Stands in for the user-interface thread's queue: the worker posts, the test serves.
class RequestQueue {
public:
    RefreshPoster Poster() {
        return [this](std::shared_ptr<RefreshRequest> r) {
            {
                std::lock_guard<std::mutex> g(m_lock);
                m_queue.push_back(std::move(r));
                ++m_posted;
            }
            m_changed.notify_all();
        };
    }
    // Waits for the next posted request; null after a long wait (a hung worker).
    std::shared_ptr<RefreshRequest> Next() {
        std::unique_lock<std::mutex> g(m_lock);
        if (!m_changed.wait_for(g, 20s, [this] { return !m_queue.empty(); })) {
            return nullptr;
        }
        auto r = m_queue.front();
        m_queue.pop_front();
        return r;
    }
    int Posted() {
        std::lock_guard<std::mutex> g(m_lock);
        return m_posted;
    }
    std::size_t Waiting() {
        std::lock_guard<std::mutex> g(m_lock);
        return m_queue.size();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<RefreshRequest>> m_queue;
    int m_posted = 0;
};

bool Serve(RefreshRequest& r, long result = 1) {
    if (!r.Begin()) {
        return false;
    }
    r.Finish(result);
    return true;
}

TEST(RefreshWorkerTest, EachTickAsksOnceAndWaitsUntilServed) {
    RequestQueue queue;
    RefreshWorker worker;
    ASSERT_TRUE(worker.Start(queue.Poster()));
    for (int i = 0; i < 3; ++i) {
        tickEvent.Set();
        auto r = queue.Next();
        ASSERT_NE(r, nullptr);
        // Ticks while the request is pending collapse into one.
        tickEvent.Set();
        tickEvent.Set();
        EXPECT_TRUE(Serve(*r, 7));
        EXPECT_TRUE(r->WasServed());
        EXPECT_EQ(r->Result(), 7);
        auto collapsed = queue.Next();
        ASSERT_NE(collapsed, nullptr);
        EXPECT_TRUE(Serve(*collapsed));
    }
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(queue.Posted(), 6);
    EXPECT_EQ(queue.Waiting(), 0u);
}

TEST(RefreshWorkerTest, StopWithARequestOnItsWayGivesItUpAndNeverWaitsForIt) {
    RequestQueue queue;
    RefreshWorker worker;
    ASSERT_TRUE(worker.Start(queue.Poster()));
    tickEvent.Set();
    auto r = queue.Next();
    ASSERT_NE(r, nullptr);
    // The serving thread is the one stopping: it cannot serve while it waits.
    worker.Stop();
    EXPECT_TRUE(r->WasAbandoned());
    EXPECT_FALSE(Serve(*r)) << "a given-up request must not refresh for a worker that is gone";

    // The next activation starts clean: no refresh before its first tick.
    ASSERT_TRUE(worker.Start(queue.Poster()));
    EXPECT_EQ(queue.Waiting(), 0u);
    worker.Stop();
    EXPECT_EQ(queue.Posted(), 1);
}

TEST(RefreshWorkerTest, StopWhileIdleAndStopDuringServingEndTheWorker) {
    RequestQueue queue;
    RefreshWorker worker;
    ASSERT_TRUE(worker.Start(queue.Poster()));
    worker.Stop();
    EXPECT_EQ(queue.Posted(), 0);

    ASSERT_TRUE(worker.Start(queue.Poster()));
    tickEvent.Set();
    auto r = queue.Next();
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(r->Begin());
    // A stop from inside the refresh (a message box let it run) does not wait for it.
    worker.Stop();
    r->Finish(1);
    EXPECT_TRUE(r->WasServed());
}

// Thousands of activations, each stopped at a different moment: idle, with a request
// queued, with one served, with one half served. Run under ThreadSanitizer too.
TEST(RefreshWorkerTest, StartsAndStopsThousandsOfTimesWithRefreshesInFlight) {
    RequestQueue queue;
    RefreshWorker worker;
    int served = 0;
    int abandoned = 0;
    constexpr int kRounds = 3000;
    for (int i = 0; i < kRounds; ++i) {
        ASSERT_TRUE(worker.Start(queue.Poster()));
        std::shared_ptr<RefreshRequest> inFlight;
        switch (i % 4) {
            case 0:
                break;
            case 1:
                tickEvent.Set();
                inFlight = queue.Next();
                ASSERT_NE(inFlight, nullptr) << "round " << i;
                break;
            case 2:
                tickEvent.Set();
                inFlight = queue.Next();
                ASSERT_NE(inFlight, nullptr) << "round " << i;
                served += Serve(*inFlight);
                tickEvent.Set();
                inFlight = queue.Next();
                ASSERT_NE(inFlight, nullptr) << "round " << i;
                break;
            case 3:
                tickEvent.Set();
                inFlight = queue.Next();
                ASSERT_NE(inFlight, nullptr) << "round " << i;
                ASSERT_TRUE(inFlight->Begin());
                break;
        }
        worker.Stop();
        if (inFlight) {
            if (i % 4 == 3) {
                inFlight->Finish(1);
                ++served;
            } else {
                EXPECT_TRUE(inFlight->WasAbandoned()) << "round " << i;
                EXPECT_FALSE(Serve(*inFlight));
                ++abandoned;
            }
        }
        ASSERT_FALSE(worker.IsRunning());
    }
    EXPECT_EQ(queue.Waiting(), 0u);
    EXPECT_EQ(served, kRounds / 2);
    EXPECT_EQ(abandoned, kRounds / 2);
}

TEST(RefreshWorkerTest, EventsFollowTheirKinds) {
    Event autoReset(Event::Kind::AutoReset);
    Event manual(Event::Kind::ManualReset);
    EXPECT_FALSE(autoReset.Poll());
    autoReset.Set();
    EXPECT_TRUE(autoReset.Poll());
    EXPECT_FALSE(autoReset.Poll());
    manual.Set();
    EXPECT_TRUE(manual.Poll());
    EXPECT_TRUE(manual.Poll());
    EXPECT_EQ(Event::WaitAny(autoReset, manual), 1);
    autoReset.Set();
    EXPECT_EQ(Event::WaitAny(autoReset, manual), 0) << "the first wins when both are set";
    manual.Reset();
    EXPECT_FALSE(manual.Poll());
}

}  // namespace
}  // namespace zo::summary
