#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zo::cli {

// The command line as given; nothing in it is acted on while parsing.
struct Options {
    std::string registryPath;  // empty: the default under the user's data directory
    std::vector<std::pair<std::string, std::string>> portMap;  // "COMn" -> device path
    std::string tracePath;
    bool simulate = false;
    std::string simulatePort;  // "COMn" given with --simulate=COMn
    bool help = false;
    bool version = false;
    std::vector<std::string> command;  // the command and its arguments
    // Qt's own options ("-style", "Fusion"), as given; Qt reads them from the command line
    // when the windows start.
    std::vector<std::string> qtOptions;
};

// Parses the command line; false with a message for anything it does not know.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

// Whether a display is named for the windows: by the environment (DISPLAY,
// WAYLAND_DISPLAY, QT_QPA_PLATFORM) or by Qt's -platform or -display option.
bool DisplayNamed(const Options& options);

// The whole of --help: the options, the commands and the exit statuses.
std::string UsageText();

}  // namespace zo::cli
