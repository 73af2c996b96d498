#include "store/RegTransfer.h"

#include "platform/registry/KeyPath.h"
#include "store/ProfileStore.h"

namespace zo::store {

using registry::HKey;
using registry::Status;

namespace {

bool Collect(registry::Hive& hive, HKey key, const std::string& path, std::vector<RegKey>* keys,
             std::string* error) {
    RegKey entry{path, {}, 0};
    std::vector<registry::Value> values;
    std::vector<std::string> subkeys;
    if (hive.ListValues(key, &values) != Status::Ok ||
        hive.ListSubkeys(key, &subkeys) != Status::Ok) {
        *error = hive.LastError();
        return false;
    }
    for (auto& v : values) {
        std::size_t nul = v.data.find('\0');
        if (nul != std::string::npos) {
            v.data.resize(nul);
        }
        entry.values.push_back(RegValue{std::move(v.name), std::move(v.data), 0});
    }
    keys->push_back(std::move(entry));
    for (const auto& name : subkeys) {
        HKey child;
        std::string childPath = path + "\\" + name;
        if (hive.OpenKey(key, name, &child) != Status::Ok ||
            !Collect(hive, child, childPath, keys, error)) {
            if (error->empty()) {
                *error = hive.LastError();
            }
            return false;
        }
    }
    return true;
}

}  // namespace

bool CollectTree(registry::Hive& hive, const std::string& path, std::vector<RegKey>* keys,
                 std::string* error) {
    keys->clear();
    error->clear();
    // A read transaction keeps the export consistent while another program writes.
    registry::Hive::Snapshot snapshot(hive);
    HKey root;
    Status s = hive.OpenKey(registry::HKEY_LOCAL_MACHINE, path, &root);
    if (s == Status::NotFound) {
        return true;
    }
    if (s != Status::Ok) {
        *error = hive.LastError();
        return false;
    }
    return Collect(hive, root, path, keys, error);
}

namespace {

// The name of the applied profile a key path records, or empty when it is no CURRENT
// subkey.
std::string AppliedNameIn(const std::string& path) {
    const std::string current = WithoutTrailingBackslash(CurrentPath());
    std::vector<std::string> parts, prefix;
    if (registry::SplitKeyPath(path, &parts) != registry::PathError::None ||
        registry::SplitKeyPath(current, &prefix) != registry::PathError::None ||
        parts.size() <= prefix.size()) {
        return {};
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (registry::FoldName(parts[i]) != registry::FoldName(prefix[i])) {
            return {};
        }
    }
    return parts[prefix.size()];
}

}  // namespace

bool ImportKeys(registry::Hive& hive, const std::vector<RegKey>& keys, std::string* error) {
    // CURRENT names the one profile last applied to the card. A file that brings its own
    // takes the place of the stored one; two would leave the program unable to say which.
    std::string applied;
    for (const auto& key : keys) {
        std::string name = AppliedNameIn(key.path);
        if (name.empty() || registry::FoldName(name) == registry::FoldName(applied)) {
            continue;
        }
        if (!applied.empty()) {
            *error = "line " + std::to_string(key.line) +
                     ": the file names more than one profile as applied to the card";
            return false;
        }
        applied = name;
    }
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        *error = hive.LastError();
        return false;
    }
    if (!applied.empty()) {
        const std::string current = WithoutTrailingBackslash(CurrentPath());
        HKey handle;
        std::vector<std::string> stored;
        if (hive.OpenKey(registry::HKEY_LOCAL_MACHINE, current, &handle) == Status::Ok &&
            hive.ListSubkeys(handle, &stored) != Status::Ok) {
            *error = hive.LastError();
            return false;
        }
        for (const auto& name : stored) {
            if (registry::FoldName(name) != registry::FoldName(applied) &&
                hive.DeleteKey(registry::HKEY_LOCAL_MACHINE, current + "\\" + name) != Status::Ok) {
                *error = "cannot replace the applied profile " + name + ": " + hive.LastError();
                return false;
            }
        }
    }
    for (const auto& key : keys) {
        HKey handle;
        Status s = hive.CreateKey(registry::HKEY_LOCAL_MACHINE, key.path, &handle);
        if (s != Status::Ok) {
            *error = "line " + std::to_string(key.line) + ": cannot create the key: " +
                     (s == Status::Failed ? hive.LastError() : registry::StatusText(s));
            return false;
        }
        for (const auto& v : key.values) {
            s = hive.SetString(handle, v.name, v.data);
            if (s != Status::Ok) {
                *error = "line " + std::to_string(v.line) + ": cannot write the value: " +
                         (s == Status::Failed ? hive.LastError() : registry::StatusText(s));
                return false;
            }
        }
    }
    if (batch.Commit() != Status::Ok) {
        *error = hive.LastError();
        return false;
    }
    return true;
}

}  // namespace zo::store
