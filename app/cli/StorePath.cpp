#include "app/cli/StorePath.h"
#include "res/Translation.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace zo::cli {
namespace {

bool MakeDirs(const std::string& path, std::string* error) {
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos == path.size() || path[pos] == '/') {
            std::string part = path.substr(0, pos);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                *error = part + ": " + std::strerror(errno);
                return false;
            }
        }
    }
    return true;
}

}  // namespace

std::string DefaultStorePath(std::string* error) {
    std::string base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : nullptr;
        }
        if (!home || home[0] != '/') {
            *error = res::Tr("no home directory to keep the store in; use --registry FILE");
            return {};
        }
        base = std::string(home) + "/.local/share";
    }
    std::string dir = base + "/zo-config";
    if (!MakeDirs(dir, error)) {
        return {};
    }
    return dir + "/registry.db";
}

}  // namespace zo::cli
