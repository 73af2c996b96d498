#include "platform/files/DataFile.h"

#include <system_error>

namespace zo::files {

namespace fs = std::filesystem;

std::vector<fs::path> DataFolders(const fs::path& currentDirectory, const fs::path& executable) {
    std::vector<fs::path> folders{currentDirectory};
    if (!executable.empty()) {
        const fs::path programFolder = executable.parent_path();
        folders.push_back((programFolder / ".." / "share" / "zo-config").lexically_normal());
        folders.push_back(programFolder);
    }
    return folders;
}

fs::path FindDataFile(const std::string& name, const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        std::error_code ec;
        // A folder that cannot be read is passed over like one without the file.
        if (!folder.empty() && fs::is_regular_file(folder / name, ec)) {
            return folder / name;
        }
    }
    return folders.empty() ? fs::path(name) : folders.front() / name;
}

std::string DataFilePath(const std::string& name) {
    std::error_code ec;
    fs::path current = fs::current_path(ec);
    if (ec) {
        current = ".";
    }
    // Empty when the link cannot be read: the current directory is still searched.
    fs::path executable = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        executable.clear();
    }
    return FindDataFile(name, DataFolders(current, executable)).string();
}

}  // namespace zo::files
