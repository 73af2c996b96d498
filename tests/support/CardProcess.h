#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace zo::test {

// zo-cardsim serving a pseudo-terminal behind a symbolic link, for the tests that run the
// programs over a real terminal on the real clock. Ended with the object, whatever the
// test's outcome.
class CardProcess {
public:
    CardProcess() = default;
    ~CardProcess() { Stop(); }
    CardProcess(const CardProcess&) = delete;
    CardProcess& operator=(const CardProcess&) = delete;

    // Keeps the card's memory in `path` across restarts (none unless given).
    void KeepMemoryIn(const std::string& path) { m_nvram = path; }
    // Sends its own output to `path` instead of the test's.
    void SendOutputTo(const std::string& path) { m_output = path; }
    // Starts it with `--fault name`, after those added before.
    void AddFault(const std::string& name) { m_faults.push_back(name); }

    // Starts `program` (zo-cardsim) on a terminal behind the symbolic link `link`, logging
    // the lines it receives to `log`, and waits until the link leads to the terminal;
    // false when no process could be made or it did not come up within `limit`.
    bool Start(const std::string& program, const std::string& link, const std::string& log,
               std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Sends `signal` and reaps the process: its wait status, -1 when none was running.
    int Stop(int signal = SIGTERM);
    // Sends `signal` and leaves the process be: SIGSTOP makes a card that keeps silent
    // with its line open, SIGCONT wakes it.
    void Signal(int signal) const {
        if (m_pid > 0) {
            ::kill(m_pid, signal);
        }
    }
    // Waits until the link leads to a terminal, or (`up` false) no longer does.
    bool AwaitLink(bool up, std::chrono::milliseconds limit = std::chrono::seconds(10)) const;

    bool Running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
    std::string m_link;
    std::string m_nvram;
    std::string m_output;
    std::vector<std::string> m_faults;
};

}  // namespace zo::test
