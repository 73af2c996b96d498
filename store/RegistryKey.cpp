#include "store/RegistryKey.h"

#include <cstring>

#include "res/Translation.h"

namespace zo::store {

using registry::Status;

StoreResult HiveFailure(const registry::Hive& hive, const Status& why) {
    // A failure of the file names the file itself; a refusal is named after it.
    const std::string detail =
        why.Reason().empty() ? hive.Path() + ": " + why.Text() : why.Reason();
    return StoreResult::Fail(StoreStatus::Failed, res::Fill(res::Tr("Profile store %1"), {detail}));
}

RegistryKey::RegistryKey(HKey root, const char* path, registry::Hive& hive)
    : m_hive(&hive), m_root(root) {
    Open(path);
}

RegistryKey::RegistryKey(HKey root, const std::string& path, registry::Hive& hive)
    : m_hive(&hive), m_root(root) {
    Open(path.c_str());
}

void RegistryKey::Open(const char* path) {
    m_key = HKey{};
    std::size_t len = path ? std::strlen(path) : 0;
    // A path that does not fit is refused whole: a cut path would name another key.
    if (len >= sizeof(m_path)) {
        m_path[0] = '\0';
        m_opened = HiveFailure(*m_hive, Status::TooLong);
        return;
    }
    std::memcpy(m_path, path ? path : "", len + 1);
    HKey key;
    const Status s = m_hive->CreateKey(m_root, m_path, &key);
    m_opened = s.IsOk() ? StoreResult{} : HiveFailure(*m_hive, s);
    if (s.IsOk()) {
        m_key = key;
    }
}

StoreResult RegistryKey::Reopen(HKey /*root*/, const char* path) {
    // Keys always open under the root given at construction.
    Open(path);
    return m_opened;
}

StoreResult RegistryKey::DeleteKey() {
    if (!IsOpen()) {
        return m_opened;
    }
    const Status s = m_hive->DeleteKey(m_root, m_path);
    return s.IsOk() ? StoreResult{} : HiveFailure(*m_hive, s);
}

StoreResult RegistryKey::WriteValues(const std::vector<std::string>& names,
                                     const std::vector<std::string>& values,
                                     const std::vector<std::string>& remove) {
    auto& hive = *m_hive;
    if (names.size() != values.size()) {
        return HiveFailure(hive, Status::InvalidName);
    }
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return HiveFailure(hive, batch.Begun());
    }
    // Every write is tried; the first failure is the one reported.
    Status first;
    for (std::size_t i = 0; i < names.size(); ++i) {
        Status s = hive.SetString(m_key, names[i], values[i]);
        if (!s.IsOk() && first.IsOk()) {
            first = s;
        }
    }
    for (const auto& name : remove) {
        Status s = hive.DeleteValue(m_key, name);
        if (s != Status::Ok && s != Status::NotFound && first.IsOk()) {
            first = s;
        }
    }
    const Status committed = batch.Commit();
    if (!committed.IsOk()) {
        return HiveFailure(hive, committed);
    }
    return first.IsOk() ? StoreResult{} : HiveFailure(hive, first);
}

StoreResult RegistryKey::ReadValues() {
    if (!IsOpen()) {
        return m_opened;
    }
    std::vector<registry::Value> values;
    const Status s = m_hive->ListValues(m_key, &values);
    if (!s.IsOk()) {
        m_results.clear();  // nothing read passes for what the key holds
        return HiveFailure(*m_hive, s);
    }
    m_results.clear();
    m_results.reserve(values.size());
    for (auto& v : values) {
        // Data is read as a string up to its first NUL, whatever its length.
        std::size_t nul = v.data.find('\0');
        if (nul != std::string::npos) {
            v.data.resize(nul);
        }
        m_results.push_back(std::move(v.data));
    }
    return {};
}

StoreResult RegistryKey::ReadSubkeys() {
    if (!IsOpen()) {
        return m_opened;
    }
    std::vector<std::string> names;
    const Status s = m_hive->ListSubkeys(m_key, &names);
    if (!s.IsOk()) {
        m_results.clear();  // nothing read passes for what the key holds
        return HiveFailure(*m_hive, s);
    }
    m_results = std::move(names);
    return {};
}

}  // namespace zo::store
