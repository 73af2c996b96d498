#include "platform/ui/Conversation.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QThread>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "platform/prompt/Prompter.h"
#include "platform/ui/InputHold.h"
#include "platform/ui/UiCallQueue.h"
#include "platform/ui/UiThread.h"
#include "platform/ui/UiThreadPrompter.h"

namespace zo::ui {
namespace {

int g_running = 0;  // user-interface thread only

// Everything the user-interface thread sets up for one conversation, undone in reverse.
class ConversationScope {
public:
    ConversationScope() : m_previous(platform::CurrentPrompter()), m_proxy(m_previous) {
        ++g_running;
        platform::SetPrompter(&m_proxy);
        m_previous.BeginWaitCursor();
    }
    ~ConversationScope() {
        m_hold.Release();
        m_previous.EndWaitCursor();
        platform::SetPrompter(&m_previous);
        --g_running;
    }
    ConversationScope(const ConversationScope&) = delete;
    ConversationScope& operator=(const ConversationScope&) = delete;

private:
    platform::Prompter& m_previous;
    UiThreadPrompter m_proxy;
    InputHold m_hold;
};

}  // namespace

bool ConversationRunning() {
    return g_running > 0;
}

void RunOffUiThread(const std::function<void()>& work) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !OnUiThread()) {
        work();
        return;
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
        return;
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
}

}  // namespace zo::ui
