#include "app/cli/Commands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <sstream>

#include "app/cli/CardCommands.h"
#include "platform/registry/Hive.h"
#include "res/Strings.h"
#include "store/ControlCharacters.h"
#include "store/ProfileStore.h"
#include "store/RegTransfer.h"

namespace zo::cli {
namespace {

using registry::DefaultHive;
using registry::HKey;
using registry::Status;

// Larger files are no registry export of this program's settings.
constexpr std::size_t kMaxImportBytes = 16 * 1024 * 1024;

int StoreFailure(std::ostream& err) {
    err << res::LoadString(res::IDS_REGISTRY_FAILED) << "\n(" << store::RegistryFailureDetail()
        << ")\n";
    return kExitStore;
}

int Usage(std::ostream& err, const std::string& message) {
    err << "zo-config: " << message << "\nTry 'zo-config --help' for more information.\n";
    return kExitUsage;
}

// Output that could not be written is a failure, not a success with nothing shown.
int Finish(std::ostream& out, std::ostream& err) {
    out.flush();
    if (!out.good()) {
        err << "zo-config: cannot write the output: " << std::strerror(errno ? errno : EIO) << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

int Profiles(std::ostream& out, std::ostream& err) {
    std::vector<std::string> names;
    if (!store::ListProfiles(&names).Ok()) {
        return StoreFailure(err);
    }
    const std::string active = store::ActiveProfileName();
    for (const auto& name : names) {
        out << (store::SameProfileName(name, active) ? "* " : "  ")
            << store::EscapeControlCharacters(name) << "\n";
    }
    return Finish(out, err);
}

int Show(const std::string& name, std::ostream& out, std::ostream& err) {
    auto& hive = DefaultHive();
    if (!hive.IsUsable()) {
        return StoreFailure(err);
    }
    HKey key;
    std::vector<registry::Value> values;
    Status s = store::IsStorableName(name)
                   ? hive.OpenKey(registry::HKEY_LOCAL_MACHINE, store::ProfilePath(name), &key)
                   : Status::NotFound;
    if (s == Status::Ok) {
        s = hive.ListValues(key, &values);
    }
    if (s == Status::Failed) {
        return StoreFailure(err);
    }
    if (values.empty()) {
        err << "zo-config: no profile named \"" << store::EscapeControlCharacters(name) << "\"\n";
        return kExitRefused;
    }
    for (const auto& v : values) {
        std::size_t nul = v.data.find('\0');
        out << store::EscapeControlCharacters(v.name) << "="
            << store::EscapeControlCharacters(v.data.substr(0, nul)) << "\n";
    }
    return Finish(out, err);
}

int Remove(const std::string& name, std::ostream& out, std::ostream& err) {
    if (!DefaultHive().IsUsable()) {
        return StoreFailure(err);
    }
    const store::StoreResult result = store::RemoveProfile(name);
    switch (result.status) {
        case store::StoreStatus::Ok:
            out << "Removed \"" << store::EscapeControlCharacters(name) << "\".\n";
            return kExitOk;
        case store::StoreStatus::NotFound:
        case store::StoreStatus::Invalid:
        case store::StoreStatus::Changed:
            err << "zo-config: no profile named \"" << store::EscapeControlCharacters(name)
                << "\"\n";
            return kExitRefused;
        case store::StoreStatus::LastProfile:
            err << "zo-config: " << store::EscapeControlCharacters(result.text)
                << "; it cannot be removed\n";
            return kExitRefused;
        case store::StoreStatus::Failed:
            break;
    }
    return StoreFailure(err);
}

// The temporary file of an export under way, removed if the program is interrupted.
char g_pendingFile[4096];

void RemovePendingAndDie(int sig) {
    if (g_pendingFile[0] != '\0') {
        ::unlink(g_pendingFile);
    }
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// Catches the interrupting signals while a temporary file exists.
class PendingFile {
public:
    PendingFile() {
        g_pendingFile[0] = '\0';
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
        g_pendingFile[0] = '\0';
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

private:
    static constexpr std::array<int, 5> kSignals{SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ};
    std::vector<void (*)(int)> m_old;
};

// The file an export replaces: a symbolic link stands for the file it names, and only a
// regular file (or none yet) may be replaced.
bool ExportTarget(const std::string& path, std::string* target, std::string* error) {
    *target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved) {
            *error = path + ": a symbolic link to nothing that exists: " + std::strerror(errno);
            return false;
        }
        *target = resolved;
        std::free(resolved);
    }
    if (::stat(target->c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        *error = path + ": not a regular file; the export would replace it";
        return false;
    }
    if (target->size() + 16 > sizeof g_pendingFile) {
        *error = path + ": " + std::strerror(ENAMETOOLONG);
        return false;
    }
    return true;
}

// Replaces the file in one step, so a failed export never leaves half a file behind.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
    std::string target;
    if (!ExportTarget(path, &target, error)) {
        return false;
    }
    std::string tmp = target + ".tmp-XXXXXX";
    PendingFile pending;
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    std::snprintf(g_pendingFile, sizeof g_pendingFile, "%s", tmp.c_str());
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            *error = path + ": " + std::strerror(n < 0 ? errno : ENOSPC);
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, 0600) != 0 || ::fsync(fd) != 0 || ::close(fd) != 0 ||
        ::rename(tmp.c_str(), target.c_str()) != 0) {
        *error = path + ": " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

int Export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto& hive = DefaultHive();
    std::vector<store::RegKey> keys;
    std::string error;
    if (!hive.IsUsable() || !store::CollectTree(hive, store::kExportRoot, &keys, &error)) {
        return StoreFailure(err);
    }
    std::string text;
    if (!store::FormatRegFile(keys, &text, &error)) {
        err << "zo-config: " << error << "\n";
        return kExitRefused;
    }
    if (args.size() < 2) {
        out << text;
        return Finish(out, err);
    }
    if (!WriteFileAtomically(args[1], text, &error)) {
        err << "zo-config: " << error << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

// Reads the whole file; false with the reason when it cannot be an export.
bool ReadImportFile(const std::string& path, std::string* bytes, std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
        *error = path + ": is a directory, not a registry export";
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
            *error = path + ": too large for a registry export";
            break;
        }
    }
    ::close(fd);
    return false;
}

int Import(const std::string& path, std::ostream& out, std::ostream& err) {
    std::string bytes, error;
    if (!ReadImportFile(path, &bytes, &error)) {
        err << "zo-config: " << error << "\n";
        return kExitRefused;
    }
    store::RegParseResult parsed = store::ParseRegFile(bytes);
    if (!parsed.ok) {
        err << "zo-config: " << path << ":" << parsed.errorLine << ": "
            << store::EscapeControlCharacters(parsed.error) << "\n";
        return kExitRefused;
    }
    auto& hive = DefaultHive();
    if (!hive.IsUsable()) {
        return StoreFailure(err);
    }
    const store::StoreResult result = store::ImportKeys(hive, parsed.keys);
    switch (result.status) {
        case store::StoreStatus::Ok:
            break;
        case store::StoreStatus::Failed:
            err << res::LoadString(res::IDS_REGISTRY_FAILED) << "\n("
                << store::EscapeControlCharacters(result.text) << ")\nzo-config: " << path
                << ": nothing was imported\n";
            return kExitStore;
        default:
            err << "zo-config: " << path << ":" << result.line << ": "
                << store::EscapeControlCharacters(result.text) << "; nothing was imported\n";
            return kExitRefused;
    }
    std::size_t values = 0;
    for (const auto& k : parsed.keys) {
        values += k.values.size();
    }
    out << "Imported " << parsed.keys.size() << " keys and " << values << " values.\n";
    return kExitOk;
}

}  // namespace

bool IsKnownCommand(const std::string& name) {
    return name == "profiles" || name == "show" || name == "remove" || name == "export" ||
           name == "import" || name == "probe" || name == "identify" || name == "apply";
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return Usage(err, "no command given");
    }
    const std::string& cmd = args[0];
    auto want = [&](std::size_t min, std::size_t max) {
        return args.size() >= min + 1 && args.size() <= max + 1;
    };
    if (cmd == "profiles" && want(0, 0)) {
        return Profiles(out, err);
    }
    if (cmd == "show" && want(1, 1)) {
        return Show(args[1], out, err);
    }
    if (cmd == "remove" && want(1, 1)) {
        return Remove(args[1], out, err);
    }
    if (cmd == "export" && want(0, 1)) {
        return Export(args, out, err);
    }
    if (cmd == "import" && want(1, 1)) {
        return Import(args[1], out, err);
    }
    if (cmd == "probe" && want(0, 0)) {
        return ProbeCommand(out, err);
    }
    if (cmd == "identify" && want(0, 2)) {
        return IdentifyCommand(args, out, err);
    }
    if (cmd == "apply" && want(1, 1)) {
        return ApplyCommand(args[1], out, err);
    }
    if (IsKnownCommand(cmd)) {
        return Usage(err, "wrong number of arguments for '" + cmd + "'");
    }
    return Usage(err, "unknown command '" + cmd + "'");
}

}  // namespace zo::cli
