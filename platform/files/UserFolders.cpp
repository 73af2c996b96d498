#include "platform/files/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "res/Translation.h"

namespace zo::files {

std::string UserFolder(const char* variable, const char* fallback, std::string* error) {
    const char* set = std::getenv(variable);
    if (set && set[0] == '/') {
        return set;
    }
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    if (!home || home[0] != '/') {
        *error = res::Tr("no home directory");
        return {};
    }
    return std::string(home) + "/" + fallback;
}

bool MakeFolders(const std::string& path, std::string* error) {
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos == path.size() || path[pos] == '/') {
            const std::string part = path.substr(0, pos);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                *error = part + ": " + std::strerror(errno);
                return false;
            }
        }
    }
    return true;
}

}  // namespace zo::files
