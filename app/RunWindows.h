#pragma once

namespace zo::app {

// Runs the configuration windows on the display: the wizard when it is needed, then the
// configuration window. Returns the program's exit status.
int RunWindows(int& argc, char** argv);

}  // namespace zo::app
