#include "platform/comm/SavedPorts.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/comm/UniqueFd.h"
#include "platform/files/UserFolders.h"
#include "res/Translation.h"

namespace zo::comm {
namespace {

constexpr const char* kHeader =
    "# zo-config's serial ports: one COMn=DEVICE line for each port that is not on its\n"
    "# default device (COM1 /dev/ttyS0 ... COM4 /dev/ttyS3). Written by \"zo-config port\".\n";

std::string Trim(const std::string& s) {
    const std::size_t start = s.find_first_not_of(" \t\r");
    if (start == std::string::npos) {
        return {};
    }
    return s.substr(start, s.find_last_not_of(" \t\r") - start + 1);
}

// A line's assignment; false with the reason for a line that is not one.
bool ParseLine(const std::string& line, PortAssignment* out, std::string* why) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) {
        *why = res::Tr("expected COMn=DEVICE");
        return false;
    }
    const std::string name = CanonicalPortName(Trim(line.substr(0, eq)));
    const std::string device = Trim(line.substr(eq + 1));
    if (name.empty()) {
        *why = res::Fill(res::Tr("\"%1\" is not one of COM1-COM4"), {Trim(line.substr(0, eq))});
        return false;
    }
    if (device.empty() || device[0] != '/') {
        *why = res::Fill(res::Tr("the device of %1 must be an absolute path"), {name});
        return false;
    }
    *out = {name, device};
    return true;
}

}  // namespace

std::string SavedPortsPath(std::string* error) {
    const std::string base = files::UserFolder("XDG_CONFIG_HOME", ".config", error);
    if (base.empty()) {
        *error = res::Tr("no home directory to keep the port settings in");
        return {};
    }
    return base + "/zo-config/ports";
}

std::string CanonicalPortName(const std::string& name) {
    if (name.size() != 4 || (name[0] != 'C' && name[0] != 'c') ||
        (name[1] != 'O' && name[1] != 'o') || (name[2] != 'M' && name[2] != 'm') || name[3] < '1' ||
        name[3] > '4') {
        return {};
    }
    return std::string("COM") + name[3];
}

bool ReadSavedPorts(const std::string& path, std::vector<PortAssignment>* ports,
                    std::vector<std::string>* warnings, std::string* error) {
    ports->clear();
    std::ifstream in(path);
    if (!in) {
        if (errno == ENOENT) {
            return true;
        }
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string text = Trim(line);
        if (text.empty() || text[0] == '#') {
            continue;
        }
        PortAssignment entry;
        std::string why;
        if (!ParseLine(text, &entry, &why)) {
            if (warnings) {
                warnings->push_back(path + ":" + std::to_string(number) + ": " + why);
            }
            continue;
        }
        // A later line for the same port wins, as a person editing the file would expect.
        std::erase_if(*ports, [&](const PortAssignment& p) { return p.first == entry.first; });
        ports->push_back(entry);
    }
    if (in.bad()) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool SaveSavedPort(const std::string& path, const std::string& name, const std::string& device,
                   std::string* error) {
    const std::string port = CanonicalPortName(name);
    if (port.empty()) {
        *error = res::Fill(res::Tr("\"%1\" is not one of COM1-COM4"), {name});
        return false;
    }
    const std::size_t slash = path.rfind('/');
    const std::string dir = path.substr(0, slash);
    if (!files::MakeFolders(dir, error)) {
        return false;
    }
    // Two programs saving at once take turns, so neither loses the other's port.
    UniqueFd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd.Valid() || ::flock(dirFd.Get(), LOCK_EX) != 0) {
        *error = dir + ": " + std::strerror(errno);
        return false;
    }
    // Keep every line but the old assignment of this port; unreadable lines stay too, for
    // the person who wrote them.
    std::string kept;
    {
        std::ifstream in(path);
        if (!in && errno != ENOENT) {
            *error = path + ": " + std::strerror(errno);
            return false;
        }
        std::string line;
        while (in && std::getline(in, line)) {
            PortAssignment entry;
            std::string why;
            const std::string text = Trim(line);
            if (!text.empty() && text[0] != '#' && ParseLine(text, &entry, &why) &&
                entry.first == port) {
                continue;
            }
            kept += line + "\n";
        }
    }
    if (kept.empty()) {
        kept = kHeader;
    }
    if (!device.empty()) {
        kept += port + "=" + device + "\n";
    }
    const std::string temp = path + ".new";
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.Valid()) {
        *error = temp + ": " + std::strerror(errno);
        return false;
    }
    std::string_view rest = kept;
    while (!rest.empty()) {
        const ssize_t n = ::write(fd.Get(), rest.data(), rest.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            *error = temp + ": " + std::strerror(n < 0 ? errno : EIO);
            ::unlink(temp.c_str());
            return false;
        }
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    if (::fsync(fd.Get()) != 0 || ::close(fd.Release()) != 0 ||
        ::rename(temp.c_str(), path.c_str()) != 0) {
        *error = path + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

std::string RefuseAsPortDevice(const std::string& device) {
    if (device.empty() || device[0] != '/') {
        return res::Fill(res::Tr("%1: name the device by its absolute path, such as /dev/ttyUSB0"),
                         {device});
    }
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) {
        return device + ": " + std::strerror(errno);
    }
    if (!S_ISCHR(st.st_mode)) {
        return res::Fill(res::Tr("%1: not a character device, so not a serial port"), {device});
    }
    return {};
}

}  // namespace zo::comm
