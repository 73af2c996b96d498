#pragma once

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace zo::ui {

// Runs `work` (a conversation with the card, which waits on the card for seconds to
// minutes) on a worker thread while the user-interface thread keeps its event loop
// turning, and returns when the work has ended. Meanwhile every window paints, the clip
// plays, the window manager's ping is answered and the wait cursor shows; the user's
// input to the windows already open is discarded and their closing held (InputHold).
// The conversation's questions and cursor changes are answered on the user-interface
// thread by the prompter in force. `work` must not touch widgets: what it needs from the
// windows it takes before, what it brings back they show after.
// Without an application, or off the user-interface thread, `work` runs where it stands.
// Seams: for the run it puts a UiThreadPrompter in front of the prompter in force, then
// that one back, and it makes the UI call queue; no message of its own. Called on the
// user-interface thread, it starts a thread of its own (the conversation worker) per call.
void RunOffUiThread(const std::function<void()>& work);

// True while a conversation runs: a refresh asked for meanwhile must leave the card alone.
// User-interface thread.
bool ConversationRunning();

template <class Work>
auto RunConversation(Work&& work) -> std::invoke_result_t<Work&> {
    using Result = std::invoke_result_t<Work&>;
    if constexpr (std::is_void_v<Result>) {
        RunOffUiThread([&work] { work(); });
    } else {
        std::optional<Result> result;
        RunOffUiThread([&] { result.emplace(work()); });
        return std::move(*result);
    }
}

}  // namespace zo::ui
