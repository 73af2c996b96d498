#include "app/cli/StorePath.h"

#include "platform/files/UserFolders.h"
#include "res/Translation.h"

namespace zo::cli {

std::string DefaultStorePath(std::string* error) {
    const std::string base = files::UserFolder("XDG_DATA_HOME", ".local/share", error);
    if (base.empty()) {
        *error = res::Tr("no home directory to keep the store in; use --registry FILE");
        return {};
    }
    const std::string dir = base + "/zo-config";
    if (!files::MakeFolders(dir, error)) {
        return {};
    }
    return dir + "/registry.db";
}

}  // namespace zo::cli
