#include "support/CardProcess.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <thread>

#include "support/ProgramRun.h"

namespace zo::test {

bool CardProcess::Start(const std::string& program, const std::string& link, const std::string& log,
                        std::chrono::milliseconds limit) {
    Stop();
    m_link = link;
    std::vector<std::string> argv{program, "--link", link, "--log", log};
    if (!m_nvram.empty()) {
        argv.insert(argv.end(), {"--nvram", m_nvram});
    }
    for (const std::string& fault : m_faults) {
        argv.insert(argv.end(), {"--fault", fault});
    }
    m_pid = Spawn(argv, m_output);
    return m_pid > 0 && AwaitLink(true, limit);
}

int CardProcess::Stop(int signal) {
    if (m_pid <= 0) {
        return -1;
    }
    ::kill(m_pid, signal);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return status;
}

bool CardProcess::AwaitLink(bool up, std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    struct stat st {};
    while ((::stat(m_link.c_str(), &st) == 0) != up) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace zo::test
