#include "ProgramRun.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zo::test {

Outcome RunProgram(const std::string& commandLine, const std::string& dir) {
    const std::string out = dir + "/out", err = dir + "/err";
    int status = std::system((commandLine + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

Running StartProgram(const std::string& commandLine, const std::string& dir) {
    const std::string line = commandLine + " >" + dir + "/out 2>" + dir + "/err";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return {pid, dir};
}

Outcome FinishProgram(const Running& running) {
    int status = 0;
    if (running.pid <= 0 || ::waitpid(running.pid, &status, 0) != running.pid) {
        return {-1, {}, {}};
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(running.dir + "/out"),
            Slurp(running.dir + "/err")};
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace zo::test
