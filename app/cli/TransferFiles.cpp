#include "app/cli/TransferFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/files/PrivateFile.h"
#include "res/Translation.h"

namespace zo::cli {
namespace {

// Larger files are no registry export of this program's settings.
constexpr std::size_t kMaxImportBytes = 16 * 1024 * 1024;

// The temporary file of an export under way, removed if the program is interrupted. The
// handler reads the name only while the flag is set, so it never sees a name half-copied
// (which could be the target's own path, the user's file).
char g_pendingFile[4096];
volatile std::sig_atomic_t g_pendingSet = 0;

void RemovePendingAndDie(int sig) {
    if (g_pendingSet) {
        ::unlink(g_pendingFile);
    }
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// Catches the interrupting signals while a temporary file exists.
class PendingFile {
public:
    PendingFile() {
        g_pendingSet = 0;
        for (int sig : kSignals) {
            m_old.push_back(::signal(sig, RemovePendingAndDie));
            // A signal the program was started to ignore (nohup) stays ignored.
            if (m_old.back() == SIG_IGN) {
                ::signal(sig, SIG_IGN);
            }
        }
    }
    ~PendingFile() {
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            ::signal(kSignals[i], m_old[i]);
        }
        g_pendingSet = 0;
    }
    // Creates the temporary file from `pattern` and records its name with the signals held,
    // so that no signal falls between the two and leaves the file behind.
    int Create(std::string& pattern) {
        sigset_t held{};
        sigset_t old{};
        sigemptyset(&held);
        for (int sig : kSignals) {
            sigaddset(&held, sig);
        }
        ::sigprocmask(SIG_BLOCK, &held, &old);
        const int fd = ::mkstemp(pattern.data());
        const int saved = errno;
        if (fd >= 0) {
            std::snprintf(g_pendingFile, sizeof g_pendingFile, "%s", pattern.c_str());
            g_pendingSet = 1;
        }
        ::sigprocmask(SIG_SETMASK, &old, nullptr);
        errno = saved;
        return fd;
    }
    void Forget() { g_pendingSet = 0; }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

private:
    static constexpr std::array<int, 5> kSignals{SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ};
    std::vector<void (*)(int)> m_old;
};

// The file an export replaces: a symbolic link stands for the file it names, unless another
// user could have pointed it anywhere; only a regular file (or none yet) may be replaced.
bool ExportTarget(const std::string& path, std::string* target, std::string* error) {
    *target = path;
    if (!files::MayFollowLink(path, error)) {
        return false;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved) {
            *error = path + ": " +
                     res::Fill(res::Tr("a symbolic link to nothing that exists: %1"),
                               {std::strerror(errno)});
            return false;
        }
        *target = resolved;
        std::free(resolved);
    }
    if (::stat(target->c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        *error = path + ": " + res::Tr("not a regular file; the export would replace it");
        return false;
    }
    if (target->size() + 16 > sizeof g_pendingFile) {
        *error = path + ": " + std::strerror(ENAMETOOLONG);
        return false;
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
    std::string target;
    if (!ExportTarget(path, &target, error)) {
        return false;
    }
    std::string tmp = target + ".tmp-XXXXXX";
    PendingFile pending;
    int fd = pending.Create(tmp);
    if (fd < 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            *error = path + ": " + std::strerror(n < 0 ? errno : ENOSPC);
            ::close(fd);
            pending.Forget();
            ::unlink(tmp.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, 0600) != 0 || ::fsync(fd) != 0 || ::close(fd) != 0 ||
        ::rename(tmp.c_str(), target.c_str()) != 0) {
        *error = path + ": " + std::strerror(errno);
        pending.Forget();
        ::unlink(tmp.c_str());
        return false;
    }
    pending.Forget();
    return true;
}

std::string ImportFileName(const std::string& path) {
    return path == kStandardStream ? res::Tr("standard input") : path;
}

bool ReadImportFile(const std::string& file, std::string* bytes, std::string* error) {
    const std::string path = ImportFileName(file);
    // A copy of standard input, closed below as a file would be.
    const int fd = file == kStandardStream ? ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0)
                                           : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        *error = path + ": " + std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        *error = path + ": " + res::Tr("is a directory, not a registry export");
        return false;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *error = path + ": " + std::strerror(errno);
            break;
        }
        if (n == 0) {
            ::close(fd);
            return true;
        }
        bytes->append(buf, static_cast<std::size_t>(n));
        if (bytes->size() > kMaxImportBytes) {
            *error = path + ": " + res::Tr("too large for a registry export");
            break;
        }
    }
    ::close(fd);
    return false;
}

}  // namespace zo::cli
