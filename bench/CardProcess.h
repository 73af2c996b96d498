#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>

namespace zo::bench {

// The simulated card served on a pseudo-terminal by a forked process of its own, so
// that the card's work never counts as ours. Stopped and reaped with the object.
class CardProcess {
public:
    // Null with a reason in `error` when the terminal or the process cannot be made.
    static std::unique_ptr<CardProcess> Start(std::chrono::milliseconds answerDelay,
                                              std::string* error);
    ~CardProcess();
    CardProcess(const CardProcess&) = delete;
    CardProcess& operator=(const CardProcess&) = delete;

    // The terminal the program opens as its serial port.
    const std::string& Path() const { return m_path; }
    pid_t Pid() const { return m_pid; }

private:
    CardProcess(pid_t pid, std::string path) : m_pid(pid), m_path(std::move(path)) {}

    pid_t m_pid;
    std::string m_path;
};

}  // namespace zo::bench
