#pragma once

#include <string>

namespace zo::platform {

enum class Buttons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Retry, Yes, No };
enum class Icon { None, Information, Warning, Error, Question };

// Every message box and question of the core goes through this seam: the windows show a
// message box, the command line prints the text and answers no, tests script the answers.
class Prompter {
public:
    virtual ~Prompter() = default;
    // `detail` is the system's reason behind a fixed message (a device path and its
    // error, the store file); the message text itself stays as given.
    virtual Answer Ask(const std::string& text, Buttons buttons, Icon icon = Icon::None,
                       const std::string& detail = {}) = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

// The prompter in force; a console prompter until the program installs another.
Prompter& CurrentPrompter();
// Installs `p` (not owned; null restores the console prompter).
void SetPrompter(Prompter* p);

// Shows the wait cursor for its own lifetime.
class WaitCursor {
public:
    WaitCursor() { CurrentPrompter().BeginWaitCursor(); }
    ~WaitCursor() { CurrentPrompter().EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Prints each text to standard error and answers Cancel (or No, or Ok where that is the
// only button): the command line never waits for a person.
class ConsolePrompter : public Prompter {
public:
    Answer Ask(const std::string& text, Buttons buttons, Icon icon,
               const std::string& detail) override;
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
};

}  // namespace zo::platform
