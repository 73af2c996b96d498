#pragma once

#include "platform/prompt/Prompter.h"

namespace zo::ui {

// Stands in for the prompter in force while a card conversation runs on its worker: every
// question and every change of the wait cursor is handed to the user-interface thread and
// answered there by the prompter that was in force before.
class UiThreadPrompter : public platform::Prompter {
public:
    explicit UiThreadPrompter(platform::Prompter& inner) : m_inner(inner) {}

    platform::Answer Ask(const std::string& text, platform::Buttons buttons, platform::Icon icon,
                         const std::string& detail) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    platform::Prompter& m_inner;
};

}  // namespace zo::ui
