#pragma once

#include <string>

namespace zo::test {

// What a program run through the shell left behind.
struct Outcome {
    int code;  // exit status, -1 when it did not exit normally
    std::string out, err;
};

// Runs `commandLine` through the shell with its output collected in files under `dir`.
Outcome RunProgram(const std::string& commandLine, const std::string& dir);

// A program started in the background, its output collected in files under `dir`.
struct Running {
    int pid;
    std::string dir;
};
Running StartProgram(const std::string& commandLine, const std::string& dir);
// Waits for a program started by StartProgram and collects what it left.
Outcome FinishProgram(const Running& running);

// The whole content of a file; empty when it cannot be read.
std::string Slurp(const std::string& path);

}  // namespace zo::test
