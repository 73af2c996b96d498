#include "bench/CardProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cardsim/PtyCardServer.h"
#include "platform/clock/Clock.h"

namespace zo::bench {

std::unique_ptr<CardProcess> CardProcess::Start(std::chrono::milliseconds answerDelay,
                                                std::string* error) {
    auto model = std::make_unique<cardsim::CardModel>(platform::CurrentClock());
    model->Faults().answerDelay = answerDelay;
    auto server = cardsim::PtyCardServer::Create(std::move(model), error);
    if (!server) {
        return nullptr;
    }
    std::string path = server->SlavePath();
    pid_t pid = ::fork();
    if (pid < 0) {
        *error = "fork failed";
        return nullptr;
    }
    if (pid == 0) {
        server->Run();
        ::_exit(0);
    }
    // The child holds both ends of the terminal; ours close with the server object.
    return std::unique_ptr<CardProcess>(new CardProcess(pid, std::move(path)));
}

CardProcess::~CardProcess() {
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
}

}  // namespace zo::bench
