#include "support/ScriptedPrompter.h"

namespace zo::test {

ScriptedPrompter::ScriptedPrompter() : m_previous(&platform::CurrentPrompter()) {
    platform::SetPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter() {
    platform::SetPrompter(m_previous);
}

platform::Answer ScriptedPrompter::Ask(const std::string& text, platform::Buttons b,
                                       platform::Icon /*icon*/, const std::string& detail) {
    texts.push_back(text);
    details.push_back(detail);
    buttons.push_back(b);
    if (onAsk) {
        onAsk(text);
    }
    if (!answers.empty()) {
        platform::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    if (b != platform::Buttons::Ok) {
        unexpected.push_back(text);
    }
    switch (b) {
        case platform::Buttons::Ok:
            return platform::Answer::Ok;
        case platform::Buttons::YesNo:
            return platform::Answer::No;
        default:
            return platform::Answer::Cancel;
    }
}

}  // namespace zo::test
