#pragma once

#include <iosfwd>

#include "platform/prompt/Prompter.h"

namespace zo::cli {

// Answers the core's questions on the command line: prints each text to `err` and
// answers as the console prompter does (Cancel, No, or Ok where that is the only button).
// Installed for its own lifetime.
class StreamPrompter : public platform::Prompter {
public:
    explicit StreamPrompter(std::ostream& err);
    ~StreamPrompter() override;
    StreamPrompter(const StreamPrompter&) = delete;
    StreamPrompter& operator=(const StreamPrompter&) = delete;

    platform::Answer Ask(const std::string& text, platform::Buttons buttons, platform::Icon icon,
                         const std::string& detail) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}

private:
    std::ostream& m_err;
    platform::Prompter* m_previous;
};

}  // namespace zo::cli
