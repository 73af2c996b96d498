#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace zo::ui {

// Runs `work` (a conversation with the card, which waits on the card for seconds to
// minutes) on a worker thread while the user-interface thread keeps its event loop
// turning, and returns when the work has ended. Meanwhile every window paints, the clip
// plays, the window manager's ping is answered and the wait cursor shows; the windows
// already open are held (InputHold): disabled, their input thrown away, their closing
// carried out after the user action that started the conversation.
// The conversation's questions and cursor changes are answered on the user-interface
// thread by the prompter in force. `work` must not touch widgets: what it needs from the
// windows it takes before, what it brings back they show after.
// One conversation at a time: false, and `work` not run, while another is in hand (only
// a handler re-entered from the conversation's own loop could ask). A background one
// (BackgroundConversation) in flight is given up and waited for first, under the hold.
// Without an application, or off the user-interface thread, `work` runs where it stands.
// Seams: for the run it puts a UiThreadPrompter in front of the prompter in force, then
// that one back, and it makes the UI call queue; no message of its own. Called on the
// user-interface thread, it starts a thread of its own (the conversation worker) per call.
[[nodiscard]] bool RunOffUiThread(const std::function<void()>& work);

// True while a conversation is in hand, in the foreground or the background.
// User-interface thread.
bool ConversationRunning();

// The result of `work`, or nothing when the conversation was refused (see RunOffUiThread);
// for work without a result, whether it ran.
template <class Work>
[[nodiscard]] auto RunConversation(Work&& work) {
    using Result = std::invoke_result_t<Work&>;
    if constexpr (std::is_void_v<Result>) {
        return RunOffUiThread([&work] { work(); });
    } else {
        std::optional<Result> result;
        std::optional<Result> none;
        return RunOffUiThread([&] { result.emplace(work()); }) ? std::move(result) : none;
    }
}

// A conversation that leaves the windows alone: the user keeps working with them while
// it runs (the refresh of "Product Info"). It shows no wait cursor; its questions are
// asked on the user-interface thread as any conversation's. Its owner learns of its end
// through `done`, on the user-interface thread from the event loop, unless it gave the
// conversation up first. A conversation started meanwhile gives it up and waits for its
// worker; so does the owner's destructor, so its worker never outlives what it uses.
class BackgroundConversation {
public:
    BackgroundConversation() = default;
    ~BackgroundConversation();
    BackgroundConversation(const BackgroundConversation&) = delete;
    BackgroundConversation& operator=(const BackgroundConversation&) = delete;

    // Starts `work` on a worker; false, nothing started, while any conversation is in
    // hand or without an application. User-interface thread.
    bool Start(std::function<void()> work, std::function<void()> done);
    // Gives the one in flight up: `done` is never called, the worker ends on its own
    // (questions it asks from now on are answered Cancel). Returns at once.
    void Abandon();
    // Whether this one's worker is still running (also when given up).
    bool InFlight() const;

    struct Run;

private:
    std::shared_ptr<Run> m_run;
};

}  // namespace zo::ui
