#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

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

// Starts `argv` (looked up on PATH) in the background with its standard output and error
// appended to `output`, or left as the test's own when that is empty. Each entry of
// `environment` is "NAME=value" to set or a bare "NAME" to remove. The pid, -1 when no
// process could be made.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& output = {},
            const std::vector<std::string>& environment = {});

// The whole content of a file; empty when it cannot be read.
std::string Slurp(const std::string& path);

}  // namespace zo::test
