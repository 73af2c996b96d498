#include "platform/registry/KeyPath.h"

namespace zo::registry {

std::size_t RegistryLength(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t size = lead < 0x80    ? 1
                                 : lead >= 0xF0 ? 4
                                 : lead >= 0xE0 ? 3
                                 : lead >= 0xC0 ? 2
                                                : 0;
        bool whole = size > 0 && i + size <= text.size();
        for (std::size_t k = 1; whole && k < size; ++k) {
            whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (!whole) {
            ++units;
            ++i;
            continue;
        }
        // Characters beyond the first plane take a surrogate pair.
        units += size == 4 ? 2 : 1;
        i += size;
    }
    return units;
}

PathError SplitKeyPath(std::string_view path, std::vector<std::string>* names) {
    names->clear();
    if (RegistryLength(path) > kMaxPathLength) {
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
        if (RegistryLength(part) > kMaxNameLength) {
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
