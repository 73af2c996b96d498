#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zo::files {

// The folders the clip and the help file are looked for in, in this order: the current
// directory (as the program always has), the data folder installed beside the program
// (<prefix>/share/zo-config for <prefix>/bin/zo-config), and the program's own folder,
// which in a build tree holds both.
std::vector<std::filesystem::path> DataFolders(const std::filesystem::path& currentDirectory,
                                               const std::filesystem::path& executable);

// The first of `folders` that holds `name` as a file. When none does, `name` in the first
// folder, so that a message about the missing file names the place it was expected.
std::filesystem::path FindDataFile(const std::string& name,
                                   const std::vector<std::filesystem::path>& folders);

// `name` looked up in the folders of this process (its current directory and
// /proc/self/exe).
std::string DataFilePath(const std::string& name);

}  // namespace zo::files
