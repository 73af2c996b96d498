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
    Status s = hive.ListValues(key, &values);
    if (s == Status::Ok) {
        s = hive.ListSubkeys(key, &subkeys);
    }
    if (s != Status::Ok) {
        *error = s.Text();
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
        if (s = hive.OpenKey(key, name, &child); s != Status::Ok) {
            *error = s.Text();
            return false;
        }
        if (!Collect(hive, child, childPath, keys, error)) {
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
        *error = s.Text();
        return false;
    }
    return Collect(hive, root, path, keys, error);
}

}  // namespace zo::store
