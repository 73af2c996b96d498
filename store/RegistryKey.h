#pragma once

#include <string>
#include <vector>

#include "platform/registry/Hive.h"
#include "store/StoreResult.h"

namespace zo::store {

using registry::HKey;
using registry::HKEY_LOCAL_MACHINE;

// One open key of the hive it was made on, the default hive (registry::DefaultHive) unless
// given. Failures show no message; each call returns its reason, which callers show under
// string 114. Any thread, one at a time.
class RegistryKey {
public:
    RegistryKey(HKey root, const char* path, registry::Hive& hive = registry::DefaultHive());
    RegistryKey(HKey root, const std::string& path, registry::Hive& hive = registry::DefaultHive());
    ~RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    StoreResult Reopen(HKey root, const char* path);
    StoreResult Reopen(HKey root, const std::string& path) { return Reopen(root, path.c_str()); }
    // Deletes the key named by m_path; refused by the store while it has subkeys.
    StoreResult DeleteKey();
    // Writes each pair as a string value; Ok only if every write succeeded.
    // The values named in `remove` are deleted in the same transaction, so a save
    // that drops terminal 2 never leaves its old numbers behind.
    StoreResult WriteValues(const std::vector<std::string>& names,
                            const std::vector<std::string>& values,
                            const std::vector<std::string>& remove = {});
    StoreResult ReadValues();
    StoreResult ReadSubkeys();

    // What the last ReadValues or ReadSubkeys found; one that failed leaves it.
    const std::vector<std::string>& Results() const { return m_results; }
    bool IsOpen() const { return m_opened.Ok(); }
    // Why the key is not open; Ok when it is.
    const StoreResult& Opened() const { return m_opened; }
    // The key's path under the root; empty after a path too long to open.
    const char* Path() const { return m_path; }
    HKey Handle() const { return m_key; }
    registry::Hive& Hive() const { return *m_hive; }

private:
    void Open(const char* path);

    registry::Hive* m_hive;
    std::vector<std::string> m_results;
    HKey m_root;
    HKey m_key;
    StoreResult m_opened;
    char m_path[1024] = {};
};

// A hive call that did not come to what the store needed, as a store failure in the words
// shown under message 114: the store file and what went wrong with it.
StoreResult HiveFailure(const registry::Hive& hive, const registry::Status& why);

}  // namespace zo::store
