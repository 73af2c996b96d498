#include "platform/files/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "res/Translation.h"

namespace zo::files {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr char kRequest[] = "raise\n";
constexpr char kAnswer[] = "raised\n";

std::string Reason(const std::string& path, int err) {
    return path + ": " + std::strerror(err);
}

// FNV-1a: stable across builds and machines, unlike std::hash.
std::string HashHex(const std::string& text) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) {
        h = (h ^ c) * 1099511628211ull;
    }
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

// A folder only this user may enter: ours, no link, no access for group or others.
bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

struct Candidate {
    std::string folder;
    bool ours;  // made by us when missing
};

std::vector<Candidate> CandidateFolders() {
    std::vector<Candidate> folders;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        folders.push_back({runtime, false});
    }
    const std::string own = "/zo-config-" + std::to_string(::geteuid());
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && tmp[0] == '/') {
        folders.push_back({tmp + own, true});
    }
    folders.push_back({"/tmp" + own, true});
    return folders;
}

bool MakeAddress(const std::string& path, sockaddr_un* address) {
    *address = sockaddr_un{};
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path) {
        return false;
    }
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Reads until a line has come, the peer closed, or `deadline`.
std::string ReadLine(int fd, Clock::time_point deadline) {
    std::string line;
    while (line.find('\n') == std::string::npos && line.size() < 64) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0) {
            break;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        char buf[64];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        line.append(buf, static_cast<std::size_t>(n));
    }
    return line;
}

}  // namespace

bool FindInstancePlace(const std::string& storePath, InstancePlace* place, std::string* error) {
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(storePath, ec);
    if (ec) {
        canonical = std::filesystem::absolute(storePath, ec);
    }
    const std::string name =
        "/zo-config-" + std::to_string(::geteuid()) + "-" + HashHex(canonical.string());
    for (const Candidate& candidate : CandidateFolders()) {
        const std::string base = candidate.folder + name;
        sockaddr_un address;
        if (!MakeAddress(base + ".sock", &address)) {
            continue;
        }
        if (candidate.ours) {
            ::mkdir(candidate.folder.c_str(), 0700);
        }
        if (IsPrivateFolder(candidate.folder)) {
            place->lockPath = base + ".lock";
            place->socketPath = base + ".sock";
            return true;
        }
    }
    *error = res::Tr("no private folder for the windows' lock (XDG_RUNTIME_DIR, TMPDIR or /tmp)");
    return false;
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) {
        // Removed while still held: a start that opened the file meanwhile finds it gone
        // after its own flock and opens the path afresh.
        ::unlink(m_path.c_str());
        ::close(m_fd);
    }
}

InstanceLock::Result InstanceLock::Acquire(const std::string& path, std::string* error) {
    if (m_fd >= 0) {
        return Result::Held;
    }
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            *error = Reason(path, errno);
            return Result::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            if (err == EWOULDBLOCK) {
                return Result::Taken;
            }
            *error = Reason(path, err);
            return Result::Failed;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_fd = fd;
            m_path = path;
            return Result::Held;
        }
        // The holder removed the file between our open and our flock.
        ::close(fd);
    }
    *error = res::Fill(res::Tr("%1: the lock file keeps being replaced"), {path});
    return Result::Failed;
}

RaiseListener::~RaiseListener() {
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }
}

bool RaiseListener::Listen(const std::string& path, std::string* error) {
    sockaddr_un address;
    if (!MakeAddress(path, &address)) {
        *error = res::Fill(res::Tr("%1: too long for a socket's name"), {path});
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *error = Reason(path, errno);
        return false;
    }
    // What is there is a crashed copy's socket: the caller holds the lock.
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 8) != 0) {
        *error = Reason(path, errno);
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    return true;
}

void RaiseListener::ServeWaiting(const std::function<void()>& raise) {
    if (m_fd < 0) {
        return;
    }
    for (;;) {
        const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        // A start writes its request as soon as it is connected.
        if (ReadLine(client, Clock::now() + 500ms) == kRequest) {
            raise();
            ::send(client, kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL);
        }
        ::close(client);
    }
}

bool AskToRaise(const std::string& socketPath, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    sockaddr_un address;
    if (!MakeAddress(socketPath, &address)) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    bool raised = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL) == ssize_t(sizeof kRequest - 1)) {
        raised = ReadLine(fd, deadline) == kAnswer;
    }
    ::close(fd);
    return raised;
}

Claim ClaimWindows(const InstancePlace& place, InstanceLock* lock, std::chrono::milliseconds limit,
                   std::string* error) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        switch (lock->Acquire(place.lockPath, error)) {
            case InstanceLock::Result::Held:
                return Claim::First;
            case InstanceLock::Result::Failed:
                return Claim::Failed;
            case InstanceLock::Result::Taken:
                break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return Claim::Unanswered;
        }
        if (AskToRaise(place.socketPath, left)) {
            return Claim::Raised;
        }
        // The holder is starting and not listening yet, or has just ended.
        std::this_thread::sleep_for(20ms);
    }
}

}  // namespace zo::files
