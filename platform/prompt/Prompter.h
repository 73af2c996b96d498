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

// The prompter in force, a process-wide seam read at each message: every message box and
// question of the program goes through it. Default: the console prompter. Installed by the
// windows' start (message boxes, while the windows run), by a command-line command (its
// stream prompter), by tests (scripted answers), and for each card conversation in the
// windows by ui::RunOffUiThread (a proxy in front of the prompter it finds).
// Threads: installed on the main thread while no conversation worker runs; the installer
// keeps it alive until it puts the previous one back. CurrentPrompter may be called on any
// thread, but off the user-interface thread only the conversation's proxy is in force.
Prompter& CurrentPrompter();
// Installs `p` (not owned; null restores the console prompter).
void SetPrompter(Prompter* p);

// Shows the wait cursor for its own lifetime, through the prompter in force at each end.
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
