#include "platform/ui/conversation/UiThreadPrompter.h"

#include "platform/ui/conversation/UiThread.h"

namespace zo::ui {

platform::Answer UiThreadPrompter::Ask(const std::string& text, platform::Buttons buttons,
                                       platform::Icon icon, const std::string& detail) {
    platform::Answer answer = platform::Answer::Cancel;
    CallOnUiThread([&] { answer = m_inner.Ask(text, buttons, icon, detail); });
    return answer;
}

void UiThreadPrompter::BeginWaitCursor() {
    CallOnUiThread([this] { m_inner.BeginWaitCursor(); });
}

void UiThreadPrompter::EndWaitCursor() {
    CallOnUiThread([this] { m_inner.EndWaitCursor(); });
}

}  // namespace zo::ui
