#pragma once

#include <string>

namespace zo::cli {

// The store file used when --registry is not given: zo-config/registry.db under
// $XDG_DATA_HOME (or ~/.local/share). Creates the folder, private to the user.
// Empty with a reason in `error` when no folder can be had.
std::string DefaultStorePath(std::string* error);

}  // namespace zo::cli
