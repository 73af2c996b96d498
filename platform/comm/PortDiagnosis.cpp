#include "platform/comm/PortDiagnosis.h"

#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "res/Translation.h"

namespace zo::comm {
namespace {

std::string Base(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

// Device nodes are the same device when they name the same driver minor, even through
// another node (a /dev/serial/by-id link resolves to the node itself).
bool SameFile(const struct stat& a, const struct stat& b) {
    if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode)) {
        return a.st_rdev == b.st_rdev;
    }
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string CommandName(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

bool IsPid(const char* s, int* pid) {
    if (!*s) {
        return false;
    }
    long v = 0;
    for (const char* p = s; *p; ++p) {
        if (*p < '0' || *p > '9' || v > 10'000'000) {
            return false;
        }
        v = v * 10 + (*p - '0');
    }
    *pid = static_cast<int>(v);
    return true;
}

// The process named in /proc/locks as holding a lock on the file; the lock table names
// the file by device (hex major:minor) and inode.
std::optional<PortHolder> LockHolder(const struct stat& target) {
    std::ifstream in("/proc/locks");
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("->") != std::string::npos) {
            continue;  // a waiter, not the holder
        }
        std::istringstream fields(line);
        std::string id, kind, advisory, mode, file;
        int pid = 0;
        if (!(fields >> id >> kind >> advisory >> mode >> pid >> file)) {
            continue;
        }
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(file.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) {
            continue;
        }
        if (pid <= 0 || pid == ::getpid() || inode != target.st_ino ||
            ::makedev(major, minor) != target.st_dev) {
            continue;
        }
        std::string name = CommandName(pid);
        if (!name.empty()) {
            return PortHolder{pid, name};
        }
    }
    return std::nullopt;
}

std::optional<PortHolder> OpenerOf(const struct stat& target) {
    DIR* proc = ::opendir("/proc");
    if (!proc) {
        return std::nullopt;
    }
    std::optional<PortHolder> found;
    const int self = ::getpid();
    while (!found) {
        dirent* e = ::readdir(proc);
        if (!e) {
            break;
        }
        int pid = 0;
        if (!IsPid(e->d_name, &pid) || pid == self) {
            continue;
        }
        std::string fdDir = std::string("/proc/") + e->d_name + "/fd";
        DIR* fds = ::opendir(fdDir.c_str());
        if (!fds) {
            continue;
        }
        while (dirent* f = ::readdir(fds)) {
            struct stat st {};
            if (f->d_name[0] == '.' || ::stat((fdDir + "/" + f->d_name).c_str(), &st) != 0) {
                continue;
            }
            if (SameFile(st, target)) {
                found = PortHolder{pid, CommandName(pid)};
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return found;
}

bool InProcessGroups(gid_t gid) {
    if (::getegid() == gid) {
        return true;
    }
    int n = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(n, 0)));
    n = ::getgroups(n, groups.data());
    return n > 0 && std::find(groups.begin(), groups.begin() + n, gid) != groups.begin() + n;
}

// Whether the group database lists the user in the group, which a session started
// before the user was added does not yet carry.
bool ListedInGroup(const passwd& user, gid_t gid) {
    int n = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(n));
    if (::getgrouplist(user.pw_name, user.pw_gid, groups.data(), &n) < 0) {
        groups.resize(static_cast<std::size_t>(n));
        if (::getgrouplist(user.pw_name, user.pw_gid, groups.data(), &n) < 0) {
            return false;
        }
    }
    return std::find(groups.begin(), groups.begin() + n, gid) != groups.begin() + n;
}

std::string AccessHint(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {};
    }
    const group* g = ::getgrgid(st.st_gid);
    const std::string groupName = g ? g->gr_name : std::to_string(st.st_gid);
    const passwd* pw = ::getpwuid(::geteuid());
    const std::string user = pw ? pw->pw_name : "$USER";
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        return res::Fill(res::Tr("Its permissions (mode %1) let only its owner use it; ask the "
                                 "administrator to give it to group \"dialout\"."),
                         {mode});
    }
    if (InProcessGroups(st.st_gid)) {
        return res::Fill(
            res::Tr("You are in its group \"%1\", but its permissions (mode %2) still refuse you."),
            {groupName, mode});
    }
    if (pw && ListedInGroup(*pw, st.st_gid)) {
        return res::Fill(res::Tr("You were added to the group \"%1\" after this session began: "
                                 "log out and in again."),
                         {groupName});
    }
    // TRANSLATORS: the quoted command is typed as it stands.
    return res::Fill(res::Tr("You are not in the group \"%1\" that may use it: run \"sudo adduser "
                             "%2 %1\", then log out and in again."),
                     {groupName, user});
}

}  // namespace

std::optional<PortHolder> FindPortHolder(const std::string& path) {
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) {
        return std::nullopt;
    }
    if (auto holder = LockHolder(target)) {
        return holder;
    }
    return OpenerOf(target);
}

bool MeansVanished(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

std::string DescribeBusy(const std::string& path) {
    std::string text = res::Fill(res::Tr("%1: in use by another program"), {path});
    if (auto holder = FindPortHolder(path)) {
        return text + "\n" +
               res::Fill(res::Tr("It is held by %1 (PID %2); close that program or choose another "
                                 "port."),
                         {holder->name, std::to_string(holder->pid)});
    }
    return text + "\n" +
           res::Tr(
               "Close the program that uses it (a terminal program, a modem manager) or choose "
               "another port.");
}

std::string DescribeOpenFailure(const std::string& path, int error) {
    switch (error) {
        case EACCES:
        case EPERM: {
            std::string hint = AccessHint(path);
            return Base(path, error) + (hint.empty() ? "" : "\n" + hint);
        }
        case EBUSY:
        case EWOULDBLOCK:
            return DescribeBusy(path);
        case ENOENT:
            return Base(path, error) + "\n" +
                   res::Tr(
                       "The device is not there: a USB serial adapter may be unplugged or "
                       "have another name now (zo-config ports lists the serial devices); "
                       "\"zo-config port COMn=PATH\" points a port at another device.");
        default:
            break;
    }
    if (MeansVanished(error)) {
        return Base(path, error) + "\n" +
               res::Tr(
                   "No hardware answers at this device: the port is not fitted, or its "
                   "adapter was removed.");
    }
    return Base(path, error);
}

std::string DescribeDeviceFailure(const std::string& path, int error) {
    if (MeansVanished(error)) {
        return Base(path, error) + "\n" +
               res::Tr("The device stopped answering: it was unplugged, switched off or hung up.");
    }
    return Base(path, error);
}

}  // namespace zo::comm
