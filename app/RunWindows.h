#pragma once

#include <string>

namespace zo::app {

// Runs the configuration windows on the display: the wizard when it is needed, then the
// configuration window, one copy per store: a start for a store whose windows are open
// raises them and returns 0. Returns the program's exit status.
int RunWindows(int& argc, char** argv, const std::string& storePath);

}  // namespace zo::app
