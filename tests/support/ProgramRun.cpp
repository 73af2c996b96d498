#include "support/ProgramRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace zo::test {
namespace {

// The parent's environment with `changes` made, prepared before the fork so that the
// child of a threaded test allocates nothing.
std::vector<std::string> ChangedEnvironment(const std::vector<std::string>& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        env.emplace_back(*e);
    }
    for (const std::string& change : changes) {
        const std::string name = change.substr(0, change.find('='));
        std::erase_if(env, [&](const std::string& kv) { return kv.rfind(name + "=", 0) == 0; });
        if (change.find('=') != std::string::npos) {
            env.push_back(change);
        }
    }
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings) {
        p.push_back(s.data());
    }
    p.push_back(nullptr);
    return p;
}

}  // namespace

Outcome RunProgram(const std::string& commandLine, const std::string& dir) {
    const std::string out = dir + "/out", err = dir + "/err";
    int status = std::system((commandLine + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

Running StartProgram(const std::string& commandLine, const std::string& dir) {
    return {Spawn({"/bin/sh", "-c", commandLine + " >" + dir + "/out 2>" + dir + "/err"}), dir};
}

Outcome FinishProgram(const Running& running) {
    int status = 0;
    if (running.pid <= 0 || ::waitpid(running.pid, &status, 0) != running.pid) {
        return {-1, {}, {}};
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(running.dir + "/out"),
            Slurp(running.dir + "/err")};
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& output,
            const std::vector<std::string>& environment) {
    std::vector<std::string> args = argv;
    std::vector<std::string> env = ChangedEnvironment(environment);
    std::vector<char*> argp = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!output.empty()) {
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            if (fd >= 0) {
                ::dup2(fd, 1);
                ::dup2(fd, 2);
            }
        }
        ::execvpe(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace zo::test
