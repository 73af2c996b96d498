#include "platform/ui/conversation/Conversation.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QThread>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "platform/prompt/Prompter.h"
#include "platform/ui/conversation/InputHold.h"
#include "platform/ui/conversation/UiCallQueue.h"
#include "platform/ui/conversation/UiThread.h"
#include "platform/ui/conversation/UiThreadPrompter.h"

namespace zo::ui {

// The background conversation's questions go to the user-interface thread like any
// conversation's, but it has no cursor to show, and once given up nobody is waiting for
// its answers.
class BackgroundPrompter : public platform::Prompter {
public:
    BackgroundPrompter(platform::Prompter& inner, const std::atomic<bool>& abandoned)
        : m_inner(inner), m_abandoned(abandoned) {}

    platform::Answer Ask(const std::string& text, platform::Buttons buttons, platform::Icon icon,
                         const std::string& detail) override {
        if (m_abandoned.load(std::memory_order_acquire)) {
            return buttons == platform::Buttons::Ok      ? platform::Answer::Ok
                   : buttons == platform::Buttons::YesNo ? platform::Answer::No
                                                         : platform::Answer::Cancel;
        }
        platform::Answer answer = platform::Answer::Cancel;
        CallOnUiThread([&] { answer = m_inner.Ask(text, buttons, icon, detail); });
        return answer;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}

private:
    platform::Prompter& m_inner;
    const std::atomic<bool>& m_abandoned;
};

struct BackgroundConversation::Run {
    std::thread worker;
    std::atomic<bool> ended{false};
    std::atomic<bool> abandoned{false};
    std::function<void()> done;
    platform::Prompter* previous = nullptr;
    std::unique_ptr<BackgroundPrompter> proxy;
    // Receives the worker's wake-up; the call is dropped with it.
    std::unique_ptr<QObject> receiver;
    bool finished = false;
};

namespace {

// User-interface thread only.
int g_foreground = 0;
std::shared_ptr<BackgroundConversation::Run> g_background;

using Run = BackgroundConversation::Run;

// Joins the ended worker, puts the prompter back and tells the owner, unless given up.
void Finish(Run& run) {
    if (run.finished) {
        return;
    }
    run.finished = true;
    run.worker.join();
    platform::SetPrompter(run.previous);
    std::shared_ptr<Run> keep;
    if (g_background.get() == &run) {
        keep.swap(g_background);
    }
    if (!run.abandoned.load(std::memory_order_acquire) && run.done) {
        std::function<void()> done = std::move(run.done);
        done();
    }
}

// Turns the loop until the worker has ended, then finishes the run.
void WaitOut(Run& run) {
    while (!run.ended.load(std::memory_order_acquire)) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    Finish(run);
}

bool Usable() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) && OnUiThread();
}

// Everything the user-interface thread sets up for one conversation, undone in reverse.
class ConversationScope {
public:
    ConversationScope() : m_previous(platform::CurrentPrompter()), m_proxy(m_previous) {
        platform::SetPrompter(&m_proxy);
        m_previous.BeginWaitCursor();
    }
    ~ConversationScope() {
        m_hold.Release();
        m_previous.EndWaitCursor();
        platform::SetPrompter(&m_previous);
    }
    ConversationScope(const ConversationScope&) = delete;
    ConversationScope& operator=(const ConversationScope&) = delete;

private:
    platform::Prompter& m_previous;
    UiThreadPrompter m_proxy;
    InputHold m_hold;
};

struct Foreground {
    Foreground() { ++g_foreground; }
    ~Foreground() { --g_foreground; }
    Foreground(const Foreground&) = delete;
    Foreground& operator=(const Foreground&) = delete;
};

}  // namespace

bool ConversationRunning() {
    return g_foreground > 0 || g_background != nullptr;
}

bool RunOffUiThread(const std::function<void()>& work) {
    if (!Usable()) {
        work();
        return true;
    }
    if (g_foreground > 0) {
        return false;
    }
    Foreground foreground;
    if (std::shared_ptr<Run> background = g_background) {
        // The user has moved on from what the background conversation was for.
        InputHold hold;
        background->abandoned.store(true, std::memory_order_release);
        WaitOut(*background);
    }
    UiCallQueue::Create();
    ConversationScope scope;
    QAbstractEventDispatcher* dispatcher =
        QAbstractEventDispatcher::instance(QThread::currentThread());
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
            done.store(true, std::memory_order_release);
            dispatcher->wakeUp();
        });
    } catch (const std::system_error&) {
        work();
        return true;
    }
    // Not a nested QEventLoop: one that a request to quit the application ended early
    // would leave this thread blocked in join() while the worker waits for it to answer.
    while (!done.load(std::memory_order_acquire)) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    worker.join();
    // What the window system delivered while the worker was ending is still input meant
    // for the conversation's time: it meets the hold, not the pages.
    QCoreApplication::processEvents();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return true;
}

BackgroundConversation::~BackgroundConversation() {
    if (m_run && !m_run->finished) {
        m_run->abandoned.store(true, std::memory_order_release);
        InputHold hold;
        WaitOut(*m_run);
    }
}

bool BackgroundConversation::Start(std::function<void()> work, std::function<void()> done) {
    if (!Usable() || ConversationRunning()) {
        return false;
    }
    UiCallQueue::Create();
    auto run = std::make_shared<Run>();
    run->done = std::move(done);
    run->previous = &platform::CurrentPrompter();
    run->proxy = std::make_unique<BackgroundPrompter>(*run->previous, run->abandoned);
    run->receiver = std::make_unique<QObject>();
    platform::SetPrompter(run->proxy.get());
    Run* r = run.get();
    try {
        run->worker = std::thread([r, work = std::move(work)] {
            try {
                work();
            } catch (...) {
                // The owner finds no result; a background run has nobody to tell more.
            }
            r->ended.store(true, std::memory_order_release);
            QMetaObject::invokeMethod(
                r->receiver.get(), [r] { Finish(*r); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        platform::SetPrompter(run->previous);
        return false;
    }
    g_background = run;
    m_run = std::move(run);
    return true;
}

void BackgroundConversation::Abandon() {
    if (m_run) {
        m_run->abandoned.store(true, std::memory_order_release);
    }
}

bool BackgroundConversation::InFlight() const {
    return m_run && !m_run->finished;
}

}  // namespace zo::ui
