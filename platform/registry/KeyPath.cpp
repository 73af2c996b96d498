#include "platform/registry/KeyPath.h"

namespace zo::registry {

PathError SplitKeyPath(std::string_view path, std::vector<std::string>* names) {
    names->clear();
    if (path.size() > kMaxPathLength) {
        return PathError::TooLong;
    }
    if (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    if (path.empty()) {
        return PathError::None;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t end = path.find('\\', start);
        std::string_view part =
            path.substr(start, end == std::string_view::npos ? path.npos : end - start);
        if (part.empty()) {
            names->clear();
            return PathError::EmptyComponent;
        }
        if (part.size() > kMaxNameLength) {
            names->clear();
            return PathError::TooLong;
        }
        names->emplace_back(part);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return PathError::None;
}

std::string FoldName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace zo::registry
