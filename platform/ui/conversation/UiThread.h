#pragma once

#include <functional>

namespace zo::ui {

// True on the thread that runs the windows' event loop (or when there is no application,
// so that code without windows runs everything where it stands).
bool OnUiThread();

// Runs `call` on the user-interface thread and returns when it has run. From a card
// conversation's worker this waits until the user-interface thread's loop takes it up,
// which it always does: that thread keeps its loop turning while a conversation runs.
void CallOnUiThread(const std::function<void()>& call);

}  // namespace zo::ui
