#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/prompt/Prompter.h"

namespace zo::test {

// The prompter in force for its own lifetime, after which the one in force before it is
// again: answers message boxes from a script and records every question. A question the script did
// not expect is recorded in `unexpected` and answered as a person closing the box would: Ok, No or
// Cancel.
class ScriptedPrompter : public platform::Prompter {
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;
    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    platform::Answer Ask(const std::string& text, platform::Buttons buttons, platform::Icon icon,
                         const std::string& detail) override;
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }

    std::vector<std::string> texts;
    // The system's reason given with each text, empty where none was.
    std::vector<std::string> details;
    std::vector<platform::Buttons> buttons;
    std::deque<platform::Answer> answers;
    // Runs at each question before it is answered (a tick arriving, or a card put back,
    // while the box is open).
    std::function<void(const std::string&)> onAsk;
    std::vector<std::string> unexpected;
    int waitDepth = 0;

private:
    platform::Prompter* m_previous;
};

}  // namespace zo::test
