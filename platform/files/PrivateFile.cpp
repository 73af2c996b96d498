#include "platform/files/PrivateFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "res/Translation.h"

namespace zo::files {
namespace {

std::string Reason(const std::string& path, int err) {
    return path + ": " + std::strerror(err);
}

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool MayFollowLink(const std::string& path, std::string* error) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        return true;
    }
    struct stat dir {};
    if (::stat(ParentOf(path).c_str(), &dir) != 0) {
        *error = Reason(ParentOf(path), errno);
        return false;
    }
    const bool sharedSticky = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
    if (sharedSticky && link.st_uid != ::geteuid() && link.st_uid != dir.st_uid) {
        *error = res::Fill(res::Tr("%1: a symbolic link of another user (uid %2) in a directory "
                                   "everyone may write to; it is not followed"),
                           {path, std::to_string(link.st_uid)});
        return false;
    }
    return true;
}

bool OpenPrivateFile(const std::string& path, const char* what, bool readOnlyFallback,
                     PrivateFile* file, std::string* error) {
    *file = PrivateFile{};
    if (!MayFollowLink(path, error)) {
        return false;
    }
    constexpr int kFlags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | kFlags, 0600);
    if (fd >= 0) {
        file->created = true;
    } else if (errno == EEXIST) {
        fd = ::open(path.c_str(), O_RDWR | kFlags);
        if (fd < 0 && readOnlyFallback && (errno == EACCES || errno == EROFS)) {
            fd = ::open(path.c_str(), O_RDONLY | kFlags);
            file->readOnly = fd >= 0;
        }
        if (fd < 0 && errno == ENOENT) {
            *error = res::Fill(
                res::Tr("%1: a symbolic link to nothing that exists; it is not followed"), {path});
            return false;
        }
    }
    if (fd < 0) {
        *error = Reason(path, errno);
        return false;
    }
    if (::fstat(fd, &file->st) != 0) {
        *error = Reason(path, errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(file->st.st_mode)) {
        // TRANSLATORS: %2 is "the store" or "the trace".
        *error = res::Fill(res::Tr("%1: not a regular file, so it cannot be %2"), {path, what});
        ::close(fd);
        return false;
    }
    if (file->st.st_uid != ::geteuid()) {
        // TRANSLATORS: %3 is "the store" or "the trace".
        *error = res::Fill(
            res::Tr("%1: belongs to another user (uid %2), who could read it, so it cannot be %3"),
            {path, std::to_string(file->st.st_uid), what});
        ::close(fd);
        return false;
    }
    file->fd = fd;
    return true;
}

bool MakePrivate(const PrivateFile& file, const std::string& path, std::string* error) {
    if ((file.st.st_mode & 077) == 0) {
        return true;
    }
    if (::fchmod(file.fd, file.st.st_mode & 0700) != 0) {
        *error = res::Fill(res::Tr("%1: cannot be made private to its owner: %2"),
                           {path, std::strerror(errno)});
        return false;
    }
    return true;
}

}  // namespace zo::files
