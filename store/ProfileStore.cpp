#include "store/ProfileStore.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/registry/KeyPath.h"
#include "res/Strings.h"
#include "res/Translation.h"
#include "store/ControlCharacters.h"

namespace zo::store {

using registry::DefaultHive;
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

std::vector<std::string> Subkeys(const std::string& path) {
    std::vector<std::string> names;
    HKey key;
    if (DefaultHive().OpenKey(HKEY_LOCAL_MACHINE, path, &key) == Status::Ok) {
        DefaultHive().ListSubkeys(key, &names);
    }
    return names;
}

StoreResult Failure() {
    return StoreResult::Fail(StoreStatus::Failed, RegistryFailureDetail());
}

}  // namespace

StoreResult ListProfiles(std::vector<std::string>* names) {
    names->clear();
    auto& hive = DefaultHive();
    registry::Hive::Snapshot snapshot(hive);
    HKey pccard;
    Status s = hive.OpenKey(HKEY_LOCAL_MACHINE, WithoutTrailingBackslash(PccardPath()), &pccard);
    if (s == Status::NotFound && hive.IsUsable()) {
        return {};
    }
    std::vector<std::string> all;
    if (s != Status::Ok || hive.ListSubkeys(pccard, &all) != Status::Ok) {
        return Failure();
    }
    for (const auto& name : all) {
        HKey key;
        std::vector<registry::Value> values;
        if (hive.OpenKey(pccard, name, &key) != Status::Ok ||
            hive.ListValues(key, &values) != Status::Ok) {
            return Failure();
        }
        if (!values.empty()) {
            names->push_back(name);
        }
    }
    return {};
}

std::vector<std::string> ListProfileNames() {
    std::vector<std::string> names;
    ListProfiles(&names);
    return names;
}

std::string StoredProfileName(const std::string& name) {
    for (const auto& stored : ListProfileNames()) {
        if (SameProfileName(stored, name)) {
            return stored;
        }
    }
    return {};
}

Profile ReadProfile(const std::string& name) {
    if (!IsStorableName(name)) {
        return {};
    }
    HKey key;
    std::vector<registry::Value> values;
    if (DefaultHive().OpenKey(HKEY_LOCAL_MACHINE, ProfilePath(name), &key) != Status::Ok ||
        DefaultHive().ListValues(key, &values) != Status::Ok) {
        return {};
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

std::string ActiveProfileName() {
    auto names = Subkeys(WithoutTrailingBackslash(CurrentPath()));
    return names.empty() ? std::string() : names.front();
}

bool IsActiveProfile(const std::string& name) {
    std::string active = ActiveProfileName();
    return !active.empty() && SameProfileName(active, name);
}

bool StoreFileExists() {
    std::error_code ec;
    return std::filesystem::exists(DefaultHive().Path(), ec);
}

bool IsFirstStart() {
    RegistryKey key(HKEY_LOCAL_MACHINE, CurrentPath());
    key.ReadSubkeys();
    return key.Results().empty();
}

bool WriteProfile(RegistryKey& key, const Profile& profile) {
    if (!IsStorableName(profile.Location)) {
        return false;
    }
    // Creating the key belongs to the save: a save cut short never leaves an empty key.
    registry::Hive::Batch batch(DefaultHive());
    if (!batch.Ok() || !key.Reopen(HKEY_LOCAL_MACHINE, ProfilePath(profile.Location))) {
        return false;
    }
    const std::vector<std::string> values = profile.Values();
    const std::vector<std::string> names(kProfileValueNames.begin(),
                                         kProfileValueNames.begin() + values.size());
    std::vector<std::string> remove;
    if (!profile.terminal2) {
        remove = {kProfileValueNames[kPhone2], kProfileValueNames[kSpid2]};
    }
    bool written = key.WriteValues(names, values, remove);
    return batch.Commit() == Status::Ok && written;
}

StoreResult SaveNewProfile(const Profile& profile) {
    if (!IsNewProfileName(profile.Location)) {
        return StoreResult::Fail(
            StoreStatus::Invalid,
            res::Fill(res::Tr("\"%1\" cannot be the name of a profile"), {profile.Location}));
    }
    registry::Hive::Batch batch(DefaultHive());
    if (!batch.Ok()) {
        return Failure();
    }
    std::vector<std::string> names;
    if (StoreResult r = ListProfiles(&names); !r.Ok()) {
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
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    if (!WriteProfile(key, profile) || batch.Commit() != Status::Ok) {
        return Failure();
    }
    return {};
}

bool MarkProfileActive(RegistryKey& key, const std::string& name) {
    if (!IsStorableName(name)) {
        return false;
    }
    registry::Hive::Batch batch(DefaultHive());
    if (!batch.Ok()) {
        return false;
    }
    const std::string current = WithoutTrailingBackslash(CurrentPath());
    if (!key.Reopen(HKEY_LOCAL_MACHINE, current)) {
        return false;
    }
    key.ReadSubkeys();
    // Every stale record goes, not just the first, so CURRENT ends with exactly one.
    std::vector<std::string> stale = key.Results();
    for (const auto& old : stale) {
        if (!key.Reopen(HKEY_LOCAL_MACHINE, current + "\\" + old) || !key.DeleteKey()) {
            return false;
        }
    }
    if (!key.Reopen(HKEY_LOCAL_MACHINE, CurrentPath() + name)) {
        return false;
    }
    return batch.Commit() == Status::Ok;
}

StoreResult RemoveProfile(const std::string& typed, bool allowLast, std::string* removed) {
    auto& hive = DefaultHive();
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return Failure();
    }
    std::vector<std::string> names;
    if (StoreResult r = ListProfiles(&names); !r.Ok()) {
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
    for (const auto& record : Subkeys(current)) {
        if (SameProfileName(record, name)) {
            Status s = hive.DeleteKey(HKEY_LOCAL_MACHINE, current + "\\" + record);
            if (s != Status::Ok && s != Status::NotFound) {
                return Failure();
            }
        }
    }
    if (hive.DeleteKey(HKEY_LOCAL_MACHINE, ProfilePath(name)) != Status::Ok ||
        batch.Commit() != Status::Ok) {
        return Failure();
    }
    if (removed) {
        *removed = name;
    }
    return {};
}

}  // namespace zo::store
