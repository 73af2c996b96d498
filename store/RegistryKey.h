#pragma once

#include <string>
#include <vector>

#include "platform/registry/Hive.h"

namespace zo::store {

using registry::HKey;
using registry::HKEY_LOCAL_MACHINE;

// One open key of the default hive (registry::DefaultHive, read at each call). Failures
// show no message; callers report them with string 114. Any thread, one at a time.
class RegistryKey {
public:
    RegistryKey(HKey root, const char* path);
    RegistryKey(HKey root, const std::string& path);
    ~RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Reopen(HKey root, const char* path);
    bool Reopen(HKey root, const std::string& path) { return Reopen(root, path.c_str()); }
    // Deletes the key named by m_path; refused by the store while it has subkeys.
    // Returns whether the key was deleted.
    bool DeleteKey();
    // Writes each pair as a string value; true only if every write succeeded.
    // The values named in `remove` are deleted in the same transaction, so a save
    // that drops terminal 2 never leaves its old numbers behind.
    bool WriteValues(const std::vector<std::string>& names, const std::vector<std::string>& values,
                     const std::vector<std::string>& remove = {});
    void ReadValues();
    void ReadSubkeys();

    // What the last ReadValues or ReadSubkeys found; one on a key not open leaves it.
    const std::vector<std::string>& Results() const { return m_results; }
    bool IsOpen() const { return m_open; }
    // The key's path under the root; empty after a path too long to open.
    const char* Path() const { return m_path; }
    HKey Handle() const { return m_key; }

private:
    void Open(const char* path);

    std::vector<std::string> m_results;
    HKey m_root;
    HKey m_key;
    bool m_open = false;
    char m_path[1024] = {};
};

// The store file and its last error, for the detail under message 114.
std::string RegistryFailureDetail();

}  // namespace zo::store
