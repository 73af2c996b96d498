#include "app/cli/Commands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>

#include "app/cli/CardCommands.h"
#include "platform/registry/Hive.h"
#include "res/Strings.h"
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

// Profiles with their values; a key without values is no profile.
bool StoredProfiles(std::vector<std::string>* names) {
    names->clear();
    auto& hive = DefaultHive();
    registry::Hive::Snapshot snapshot(hive);
    HKey pccard;
    Status s = hive.OpenKey(registry::HKEY_LOCAL_MACHINE,
                            store::WithoutTrailingBackslash(store::PccardPath()), &pccard);
    if (s == Status::NotFound) {
        return hive.IsUsable();
    }
    std::vector<std::string> all;
    if (s != Status::Ok || hive.ListSubkeys(pccard, &all) != Status::Ok) {
        return false;
    }
    for (const auto& name : all) {
        HKey key;
        std::vector<registry::Value> values;
        if (hive.OpenKey(pccard, name, &key) != Status::Ok ||
            hive.ListValues(key, &values) != Status::Ok) {
            return false;
        }
        if (!values.empty()) {
            names->push_back(name);
        }
    }
    return true;
}

int Profiles(std::ostream& out, std::ostream& err) {
    std::vector<std::string> names;
    if (!StoredProfiles(&names)) {
        return StoreFailure(err);
    }
    const std::string active = store::ActiveProfileName();
    for (const auto& name : names) {
        out << (name == active ? "* " : "  ") << name << "\n";
    }
    return kExitOk;
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
        err << "zo-config: no profile named \"" << name << "\"\n";
        return kExitRefused;
    }
    for (const auto& v : values) {
        std::size_t nul = v.data.find('\0');
        out << v.name << "=" << v.data.substr(0, nul) << "\n";
    }
    return kExitOk;
}

int Remove(const std::string& name, std::ostream& out, std::ostream& err) {
    if (!DefaultHive().IsUsable()) {
        return StoreFailure(err);
    }
    switch (store::RemoveProfile(name)) {
        case store::RemoveResult::Removed:
            out << "Removed \"" << name << "\".\n";
            return kExitOk;
        case store::RemoveResult::NotFound:
            err << "zo-config: no profile named \"" << name << "\"\n";
            return kExitRefused;
        case store::RemoveResult::LastProfile:
            err << "zo-config: \"" << name
                << "\" is the only stored profile; it cannot be removed\n";
            return kExitRefused;
        case store::RemoveResult::Failed:
            break;
    }
    return StoreFailure(err);
}

// Replaces the file in one step, so a failed export never leaves half a file behind.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmp.data());
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
            *error = path + ": " + std::strerror(errno);
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, 0600) != 0 || ::fsync(fd) != 0 || ::close(fd) != 0 ||
        ::rename(tmp.c_str(), path.c_str()) != 0) {
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
        return out.good() ? kExitOk : kExitRefused;
    }
    if (!WriteFileAtomically(args[1], text, &error)) {
        err << "zo-config: " << error << "\n";
        return kExitRefused;
    }
    return kExitOk;
}

int Import(const std::string& path, std::ostream& out, std::ostream& err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << "zo-config: " << path << ": " << std::strerror(errno) << "\n";
        return kExitRefused;
    }
    std::string bytes;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.append(buf, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxImportBytes) {
            err << "zo-config: " << path << ": too large for a registry export\n";
            return kExitRefused;
        }
    }
    store::RegParseResult parsed = store::ParseRegFile(bytes);
    if (!parsed.ok) {
        err << "zo-config: " << path << ":" << parsed.errorLine << ": " << parsed.error << "\n";
        return kExitRefused;
    }
    auto& hive = DefaultHive();
    if (!hive.IsUsable()) {
        return StoreFailure(err);
    }
    std::string error;
    if (!store::ImportKeys(hive, parsed.keys, &error)) {
        err << "zo-config: " << path << ": " << error << "; nothing was imported\n";
        return error.rfind("line ", 0) == 0 ? kExitRefused : StoreFailure(err);
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
