#include "store/ProfileStore.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/registry/KeyPath.h"
#include "res/Strings.h"
#include "res/Translation.h"
#include "store/ControlCharacters.h"

namespace zo::store {

using registry::Status;

const std::string& PccardPath() {
    return res::LoadString(res::IDS_PCCARD_PATH);
}

const std::string& CurrentPath() {
    return res::LoadString(res::IDS_CURRENT_PATH);
}

std::string ProfilePath(const std::string& name) {
    return PccardPath() + name;
}

std::string WithoutTrailingBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

bool IsStorableName(const std::string& name) {
    return !name.empty() && name.find('\\') == std::string::npos &&
           registry::RegistryLength(name) <= registry::kMaxNameLength &&
           name.find('\0') == std::string::npos;
}

bool IsNewProfileName(const std::string& name) {
    return IsStorableName(name) && !HasControlCharacters(name);
}

bool SameProfileName(const std::string& a, const std::string& b) {
    return registry::FoldName(a) == registry::FoldName(b);
}

namespace {

StoreResult NotAProfileName(const std::string& name) {
    return StoreResult::Fail(StoreStatus::Invalid,
                             res::Fill(res::Tr("\"%1\" cannot be the name of a profile"), {name}));
}

// The subkeys of `path`; a key that is not there has none.
StoreValue<std::vector<std::string>> Subkeys(const std::string& path, registry::Hive& hive) {
    std::vector<std::string> names;
    HKey key;
    Status s = hive.OpenKey(HKEY_LOCAL_MACHINE, path, &key);
    if (s == Status::Ok) {
        s = hive.ListSubkeys(key, &names);
    }
    if (s == Status::NotFound) {
        // Only a store that opens may say it has no such key.
        s = hive.Open();
    }
    if (!s.IsOk()) {
        return HiveFailure(hive, s);
    }
    return names;
}

}  // namespace

StoreResult ListProfiles(std::vector<std::string>* names, registry::Hive& hive) {
    names->clear();
    registry::Hive::Snapshot snapshot(hive);
    HKey pccard;
    Status s = hive.OpenKey(HKEY_LOCAL_MACHINE, WithoutTrailingBackslash(PccardPath()), &pccard);
    if (s == Status::NotFound) {
        const Status opened = hive.Open();
        return opened.IsOk() ? StoreResult{} : HiveFailure(hive, opened);
    }
    std::vector<std::string> all;
    if (s == Status::Ok) {
        s = hive.ListSubkeys(pccard, &all);
    }
    if (s != Status::Ok) {
        return HiveFailure(hive, s);
    }
    for (const auto& name : all) {
        HKey key;
        std::vector<registry::Value> values;
        s = hive.OpenKey(pccard, name, &key);
        if (s == Status::Ok) {
            s = hive.ListValues(key, &values);
        }
        if (s != Status::Ok) {
            return HiveFailure(hive, s);
        }
        if (!values.empty()) {
            names->push_back(name);
        }
    }
    return {};
}

StoreValue<std::vector<std::string>> ListProfileNames(registry::Hive& hive) {
    std::vector<std::string> names;
    if (StoreResult r = ListProfiles(&names, hive); !r.Ok()) {
        return r;
    }
    return names;
}

StoreValue<std::string> StoredProfileName(const std::string& name, registry::Hive& hive) {
    auto stored = ListProfileNames(hive);
    if (!stored.Ok()) {
        return stored.Result();
    }
    for (const auto& each : stored.Value()) {
        if (SameProfileName(each, name)) {
            return each;
        }
    }
    return std::string();
}

StoreValue<Profile> ReadProfile(const std::string& name, registry::Hive& hive) {
    if (!IsStorableName(name)) {
        return Profile{};
    }
    HKey key;
    std::vector<registry::Value> values;
    Status s = hive.OpenKey(HKEY_LOCAL_MACHINE, ProfilePath(name), &key);
    if (s == Status::Ok) {
        s = hive.ListValues(key, &values);
    }
    if (s == Status::NotFound) {
        s = hive.Open();
    }
    if (!s.IsOk()) {
        return HiveFailure(hive, s);
    }
    std::vector<std::string> data;
    data.reserve(values.size());
    for (auto& v : values) {
        std::size_t nul = v.data.find('\0');
        if (nul != std::string::npos) {
            v.data.resize(nul);
        }
        data.push_back(std::move(v.data));
    }
    return Profile::FromStored(std::move(data));
}

StoreValue<std::string> ActiveProfileName(registry::Hive& hive) {
    auto names = Subkeys(WithoutTrailingBackslash(CurrentPath()), hive);
    if (!names.Ok()) {
        return names.Result();
    }
    return names.Value().empty() ? std::string() : names.Value().front();
}

StoreValue<bool> IsActiveProfile(const std::string& name, registry::Hive& hive) {
    auto active = ActiveProfileName(hive);
    if (!active.Ok()) {
        return active.Result();
    }
    return !active.Value().empty() && SameProfileName(active.Value(), name);
}

StoreValue<bool> StoreFileExists(const registry::Hive& hive) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(hive.Path(), ec);
    if (ec) {
        return HiveFailure(hive, Status(Status::Failed, hive.Path() + ": " + ec.message()));
    }
    return exists;
}

StoreValue<bool> IsFirstStart(registry::Hive& hive) {
    RegistryKey key(HKEY_LOCAL_MACHINE, CurrentPath(), hive);
    if (StoreResult r = key.ReadSubkeys(); !r.Ok()) {
        return r;
    }
    return key.Results().empty();
}

StoreResult WriteProfile(RegistryKey& key, const Profile& profile) {
    if (!IsStorableName(profile.Location)) {
        return NotAProfileName(profile.Location);
    }
    auto& hive = key.Hive();
    // Creating the key belongs to the save: a save cut short never leaves an empty key.
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return HiveFailure(hive, batch.Begun());
    }
    if (StoreResult opened = key.Reopen(HKEY_LOCAL_MACHINE, ProfilePath(profile.Location));
        !opened.Ok()) {
        return opened;
    }
    const std::vector<std::string> values = profile.Values();
    const std::vector<std::string> names(kProfileValueNames.begin(),
                                         kProfileValueNames.begin() + values.size());
    std::vector<std::string> remove;
    if (!profile.terminal2) {
        remove = {kProfileValueNames[kPhone2], kProfileValueNames[kSpid2]};
    }
    StoreResult written = key.WriteValues(names, values, remove);
    if (Status committed = batch.Commit(); !committed.IsOk()) {
        return HiveFailure(hive, committed);
    }
    return written;
}

StoreResult SaveNewProfile(const Profile& profile, registry::Hive& hive) {
    if (!IsNewProfileName(profile.Location)) {
        return NotAProfileName(profile.Location);
    }
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return HiveFailure(hive, batch.Begun());
    }
    std::vector<std::string> names;
    if (StoreResult r = ListProfiles(&names, hive); !r.Ok()) {
        return r;
    }
    for (const auto& stored : names) {
        if (SameProfileName(stored, profile.Location)) {
            return StoreResult::Fail(StoreStatus::Changed,
                                     res::Fill(res::Tr("Another program stored a profile named "
                                                       "\"%1\" meanwhile; it was left as it "
                                                       "is."),
                                               {stored}));
        }
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath(), hive);
    if (StoreResult written = WriteProfile(key, profile); !written.Ok()) {
        return written;
    }
    if (Status committed = batch.Commit(); !committed.IsOk()) {
        return HiveFailure(hive, committed);
    }
    return {};
}

StoreResult MarkProfileActive(RegistryKey& key, const std::string& name) {
    if (!IsStorableName(name)) {
        return NotAProfileName(name);
    }
    auto& hive = key.Hive();
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return HiveFailure(hive, batch.Begun());
    }
    const std::string current = WithoutTrailingBackslash(CurrentPath());
    if (StoreResult r = key.Reopen(HKEY_LOCAL_MACHINE, current); !r.Ok()) {
        return r;
    }
    if (StoreResult r = key.ReadSubkeys(); !r.Ok()) {
        return r;
    }
    // Every stale record goes, not just the first, so CURRENT ends with exactly one.
    std::vector<std::string> stale = key.Results();
    for (const auto& old : stale) {
        StoreResult r = key.Reopen(HKEY_LOCAL_MACHINE, current + "\\" + old);
        if (r.Ok()) {
            r = key.DeleteKey();
        }
        if (!r.Ok()) {
            return r;
        }
    }
    if (StoreResult r = key.Reopen(HKEY_LOCAL_MACHINE, CurrentPath() + name); !r.Ok()) {
        return r;
    }
    if (Status committed = batch.Commit(); !committed.IsOk()) {
        return HiveFailure(hive, committed);
    }
    return {};
}

StoreResult RemoveProfile(const std::string& typed, bool allowLast, std::string* removed,
                          registry::Hive& hive) {
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return HiveFailure(hive, batch.Begun());
    }
    std::vector<std::string> names;
    if (StoreResult r = ListProfiles(&names, hive); !r.Ok()) {
        return r;
    }
    auto it = std::find_if(names.begin(), names.end(),
                           [&](const std::string& n) { return SameProfileName(n, typed); });
    if (!IsStorableName(typed) || it == names.end()) {
        return StoreResult::Fail(StoreStatus::NotFound,
                                 res::Fill(res::Tr("no profile named \"%1\""), {typed}));
    }
    const std::string name = *it;
    if (!allowLast && names.size() <= 1) {
        return StoreResult::Fail(StoreStatus::LastProfile,
                                 res::Fill(res::Tr("\"%1\" is the only stored profile"), {name}));
    }
    // Every record of it goes, whatever case it was written in.
    const std::string current = WithoutTrailingBackslash(CurrentPath());
    const auto records = Subkeys(current, hive);
    if (!records.Ok()) {
        return records.Result();
    }
    for (const auto& record : records.Value()) {
        if (SameProfileName(record, name)) {
            Status s = hive.DeleteKey(HKEY_LOCAL_MACHINE, current + "\\" + record);
            if (s != Status::Ok && s != Status::NotFound) {
                return HiveFailure(hive, s);
            }
        }
    }
    Status s = hive.DeleteKey(HKEY_LOCAL_MACHINE, ProfilePath(name));
    if (s.IsOk()) {
        s = batch.Commit();
    }
    if (!s.IsOk()) {
        return HiveFailure(hive, s);
    }
    if (removed) {
        *removed = name;
    }
    return {};
}

}  // namespace zo::store
