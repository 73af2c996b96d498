#include "ProgramRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zo::test {

Outcome RunProgram(const std::string& commandLine, const std::string& dir) {
    const std::string out = dir + "/out", err = dir + "/err";
    int status = std::system((commandLine + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace zo::test
