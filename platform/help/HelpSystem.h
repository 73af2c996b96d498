#pragma once

#include <string>

class QWidget;

namespace zo::help {

// What the program asks of its help: open a help file at a context number, and say that
// a help file is no longer needed.
class HelpSystem {
public:
    virtual ~HelpSystem() = default;
    virtual void ShowContext(QWidget* owner, const std::string& file, unsigned long context) = 0;
    virtual void Quit(const std::string& file) = 0;
};

// The help in force, a process-wide seam read at each help call (WinHelp below, which the
// sheets' Help buttons and the wizard's closing use). Default: one help viewer, made at the first
// call; the program never installs another, tests install a recorder. Threads: the
// user-interface thread only, for installing and for every call (the viewer is a window).
HelpSystem& CurrentHelp();
// Installs `help` (not owned; null restores the viewer).
void SetHelp(HelpSystem* help);

// The help call of the sheets: HELP_CONTEXT opens `file` at `data`, HELP_QUIT says that
// `file` is no longer needed. False for another command.
bool WinHelp(QWidget* owner, const std::string& file, unsigned command, unsigned long data);

}  // namespace zo::help
