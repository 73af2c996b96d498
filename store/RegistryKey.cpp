#include "store/RegistryKey.h"

#include <cstring>

#include "res/Translation.h"

namespace zo::store {

using registry::DefaultHive;
using registry::Status;

RegistryKey::RegistryKey(HKey root, const char* path) : m_root(root) {
    Open(path);
}

RegistryKey::RegistryKey(HKey root, const std::string& path) : m_root(root) {
    Open(path.c_str());
}

void RegistryKey::Open(const char* path) {
    m_key = HKey{};
    m_open = false;
    std::size_t len = path ? std::strlen(path) : 0;
    // A path that does not fit is refused whole: a cut path would name another key.
    if (len >= sizeof(m_path)) {
        m_path[0] = '\0';
        return;
    }
    std::memcpy(m_path, path ? path : "", len + 1);
    HKey key;
    if (DefaultHive().CreateKey(m_root, m_path, &key) == Status::Ok) {
        m_key = key;
        m_open = true;
    }
}

std::string RegistryFailureDetail() {
    const auto& hive = DefaultHive();
    return res::Fill(res::Tr("Profile store %1"),
                     {hive.LastError().empty() ? hive.Path() : hive.LastError()});
}

bool RegistryKey::Reopen(HKey /*root*/, const char* path) {
    // Keys always open under the root given at construction.
    Open(path);
    return m_open;
}

bool RegistryKey::DeleteKey() {
    if (!m_open) {
        return false;
    }
    return DefaultHive().DeleteKey(m_root, m_path) == Status::Ok;
}

bool RegistryKey::WriteValues(const std::vector<std::string>& names,
                              const std::vector<std::string>& values,
                              const std::vector<std::string>& remove) {
    if (names.size() != values.size()) {
        return false;
    }
    auto& hive = DefaultHive();
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return false;
    }
    bool result = true;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (hive.SetString(m_key, names[i], values[i]) != Status::Ok) {
            result = false;
        }
    }
    for (const auto& name : remove) {
        Status s = hive.DeleteValue(m_key, name);
        if (s != Status::Ok && s != Status::NotFound) {
            result = false;
        }
    }
    return batch.Commit() == Status::Ok && result;
}

void RegistryKey::ReadValues() {
    if (!m_open) {
        return;
    }
    m_results.clear();
    std::vector<registry::Value> values;
    DefaultHive().ListValues(m_key, &values);
    m_results.reserve(values.size());
    for (auto& v : values) {
        // Data is read as a string up to its first NUL, whatever its length.
        std::size_t nul = v.data.find('\0');
        if (nul != std::string::npos) {
            v.data.resize(nul);
        }
        m_results.push_back(std::move(v.data));
    }
}

void RegistryKey::ReadSubkeys() {
    if (!m_open) {
        return;
    }
    m_results.clear();
    DefaultHive().ListSubkeys(m_key, &m_results);
}

}  // namespace zo::store
