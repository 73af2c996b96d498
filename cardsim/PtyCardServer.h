#pragma once

#include <memory>
#include <string>

#include "cardsim/CardModel.h"
#include "platform/comm/UniqueFd.h"

namespace zo::cardsim {

// Serves a card model on a pseudo-terminal: the program opens the slave side as its
// serial port. The server keeps a slave descriptor of its own so that the program may
// close and reopen the port without the line hanging up. Nothing spins: the loop sleeps
// in poll() until input, room for output, the next answer falling due, or Stop().
class PtyCardServer {
public:
    static std::unique_ptr<PtyCardServer> Create(std::unique_ptr<CardModel> model,
                                                 std::string* error);
    ~PtyCardServer();
    PtyCardServer(const PtyCardServer&) = delete;
    PtyCardServer& operator=(const PtyCardServer&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    // Links the slave at `path` (replacing an old link, never another kind of file);
    // the link is removed with the server.
    bool LinkAt(const std::string& path, std::string* error);

    enum class Ended { Stopped, HungUp, Failed };
    // Serves until Stop() or until the card hangs up, which closes the terminal.
    Ended Run();
    // Ends Run() from another thread or a signal handler.
    void Stop();
    // The descriptor a signal handler may write one byte to, to stop the server.
    int StopFd() const { return m_stopWrite.Get(); }

    CardModel& Model() { return *m_model; }

private:
    PtyCardServer() = default;
    void Hangup();

    std::unique_ptr<CardModel> m_model;
    comm::UniqueFd m_master;
    comm::UniqueFd m_slave;
    comm::UniqueFd m_stopRead;
    comm::UniqueFd m_stopWrite;
    std::string m_slavePath;
    std::string m_linkPath;
};

}  // namespace zo::cardsim
