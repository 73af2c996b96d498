#include "store/RegTransfer.h"

#include "platform/registry/KeyPath.h"
#include "store/ProfileStore.h"
#include "store/RegistryKey.h"

namespace zo::store {

using registry::HKey;
using registry::Status;

namespace {

StoreResult Collect(registry::Hive& hive, HKey key, const std::string& path,
                    std::vector<RegKey>* keys) {
    RegKey entry{path, {}, 0};
    std::vector<registry::Value> values;
    std::vector<std::string> subkeys;
    Status s = hive.ListValues(key, &values);
    if (s == Status::Ok) {
        s = hive.ListSubkeys(key, &subkeys);
    }
    if (s != Status::Ok) {
        return HiveFailure(hive, s);
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
        if (s = hive.OpenKey(key, name, &child); s != Status::Ok) {
            return HiveFailure(hive, s);
        }
        if (StoreResult r = Collect(hive, child, path + "\\" + name, keys); !r.Ok()) {
            return r;
        }
    }
    return {};
}

}  // namespace

StoreResult CollectTree(registry::Hive& hive, const std::string& path, std::vector<RegKey>* keys) {
    keys->clear();
    // A read transaction keeps the export consistent while another program writes.
    registry::Hive::Snapshot snapshot(hive);
    HKey root;
    Status s = hive.OpenKey(registry::HKEY_LOCAL_MACHINE, path, &root);
    if (s == Status::NotFound) {
        return {};
    }
    if (s != Status::Ok) {
        return HiveFailure(hive, s);
    }
    return Collect(hive, root, path, keys);
}

}  // namespace zo::store
