#pragma once

#include <string>

#include "platform/prompt/Prompter.h"

namespace zo::ui {

// The prompter of the windows: message boxes over the window in use, captioned with the
// program's title, and the wait cursor as the application's override cursor.
class MessageBoxPrompter : public platform::Prompter {
public:
    explicit MessageBoxPrompter(std::string caption) : m_caption(std::move(caption)) {}

    platform::Answer Ask(const std::string& text, platform::Buttons buttons, platform::Icon icon,
                         const std::string& detail) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    int WaitDepth() const { return m_waitDepth; }

private:
    std::string m_caption;
    int m_waitDepth = 0;
};

}  // namespace zo::ui
