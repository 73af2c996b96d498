#pragma once

#include <string>

// The user's own folders by the XDG rules: where the store and the port settings live.
// Seams: none; the environment and the password database. Thread: the caller's.

namespace zo::files {

// $`variable` when it is an absolute path, else $HOME/`fallback` (the password database's
// home when HOME is unset or relative); empty with the reason when there is no home.
std::string UserFolder(const char* variable, const char* fallback, std::string* error);

// Makes `path` and every missing folder above it, each private to the user (0700).
bool MakeFolders(const std::string& path, std::string* error);

}  // namespace zo::files
