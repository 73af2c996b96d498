#include "cardsim/PtyCardServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "res/Translation.h"

namespace zo::cardsim {
namespace {

// Output taken from the model waits here while the terminal has no room; past this
// much the model is not asked for more, which paces endless output to the reader.
constexpr std::size_t kMaxPending = 4096;

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

std::unique_ptr<PtyCardServer> PtyCardServer::Create(std::unique_ptr<CardModel> model,
                                                     std::string* error) {
    std::unique_ptr<PtyCardServer> s(new PtyCardServer());
    s->m_model = std::move(model);
    s->m_master.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (!s->m_master.Valid() || ::grantpt(s->m_master.Get()) != 0 ||
        ::unlockpt(s->m_master.Get()) != 0) {
        *error = Reason(res::Tr("pseudo-terminal"));
        return nullptr;
    }
    char name[PATH_MAX];
    if (::ptsname_r(s->m_master.Get(), name, sizeof name) != 0) {
        *error = Reason(res::Tr("pseudo-terminal name"));
        return nullptr;
    }
    s->m_slavePath = name;
    s->m_slave.Reset(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    termios t{};
    if (!s->m_slave.Valid() || ::tcgetattr(s->m_slave.Get(), &t) != 0) {
        *error = Reason(name);
        return nullptr;
    }
    // Raw from the start, so nothing the card sends is echoed back to it.
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B115200);
    ::tcsetattr(s->m_slave.Get(), TCSANOW, &t);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = Reason("pipe");
        return nullptr;
    }
    s->m_stopRead.Reset(pipeFds[0]);
    s->m_stopWrite.Reset(pipeFds[1]);
    return s;
}

PtyCardServer::~PtyCardServer() {
    if (!m_linkPath.empty()) {
        char target[PATH_MAX];
        ssize_t n = ::readlink(m_linkPath.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == m_slavePath) {
            ::unlink(m_linkPath.c_str());
        }
    }
}

bool PtyCardServer::LinkAt(const std::string& path, std::string* error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = res::Fill(res::Tr("%1: exists and is not a symbolic link"), {path});
            return false;
        }
        ::unlink(path.c_str());
    }
    if (::symlink(m_slavePath.c_str(), path.c_str()) != 0) {
        *error = Reason(path.c_str());
        return false;
    }
    m_linkPath = path;
    return true;
}

void PtyCardServer::Stop() {
    char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(m_stopWrite.Get(), &byte, 1);
}

void PtyCardServer::Hangup() {
    // Closing the master hangs up the slave: the program's reads and writes fail.
    m_master.Reset();
    m_slave.Reset();
}

PtyCardServer::Ended PtyCardServer::Run() {
    std::string pending;
    char buf[4096];
    for (;;) {
        if (pending.size() < kMaxPending) {
            pending += m_model->TakeDueOutput();
        }
        if (m_model->HungUp()) {
            Hangup();
            return Ended::HungUp;
        }
        int timeout = -1;
        if (pending.size() < kMaxPending) {
            if (auto next = m_model->NextOutputDue()) {
                auto wait = std::chrono::ceil<std::chrono::milliseconds>(
                    *next - m_model->ModelClock().Now());
                timeout =
                    wait.count() < 0 ? 0 : static_cast<int>(std::min<long>(wait.count(), 60000));
            }
        }
        pollfd fds[2] = {
            {m_master.Get(), static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0},
            {m_stopRead.Get(), POLLIN, 0}};
        int r = ::poll(fds, 2, timeout);
        if (r < 0 && errno != EINTR) {
            return Ended::Failed;
        }
        if (r <= 0) {
            continue;
        }
        if (fds[1].revents) {
            return Ended::Stopped;
        }
        if (fds[0].revents & POLLIN) {
            ssize_t n = ::read(m_master.Get(), buf, sizeof buf);
            if (n > 0) {
                m_model->Receive(std::string_view(buf, static_cast<std::size_t>(n)));
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return Ended::Failed;
            }
        }
        if ((fds[0].revents & POLLOUT) && !pending.empty()) {
            ssize_t n = ::write(m_master.Get(), pending.data(), pending.size());
            if (n > 0) {
                pending.erase(0, static_cast<std::size_t>(n));
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return Ended::Failed;
            }
        }
        if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0) {
            return Ended::Failed;
        }
    }
}

}  // namespace zo::cardsim
