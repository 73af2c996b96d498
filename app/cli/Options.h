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
};

// Parses the command line; false with a message for anything it does not know.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

// The whole of --help: the options, the commands and the exit statuses.
std::string UsageText();

}  // namespace zo::cli
