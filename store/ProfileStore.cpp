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

const std::string& Profile::At(std::size_t pos) const {
    static const std::string empty;
    return pos < values.size() ? values[pos] : empty;
}

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

StoreResult Failure(const Status& why) {
    return HiveFailure(DefaultHive(), why);
}

StoreResult NotAProfileName(const std::string& name) {
    return StoreResult::Fail(StoreStatus::Invalid,
                             res::Fill(res::Tr("\"%1\" cannot be the name of a profile"), {name}));
}

// The subkeys of `path`; a key that is not there has none.
StoreValue<std::vector<std::string>> Subkeys(const std::string& path) {
    auto& hive = DefaultHive();
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
        return Failure(s);
    }
    return names;
}

}  // namespace

StoreResult ListProfiles(std::vector<std::string>* names) {
    names->clear();
    auto& hive = DefaultHive();
    registry::Hive::Snapshot snapshot(hive);
    HKey pccard;
    Status s = hive.OpenKey(HKEY_LOCAL_MACHINE, WithoutTrailingBackslash(PccardPath()), &pccard);
    if (s == Status::NotFound) {
        const Status opened = hive.Open();
        return opened.IsOk() ? StoreResult{} : Failure(opened);
    }
    std::vector<std::string> all;
    if (s == Status::Ok) {
        s = hive.ListSubkeys(pccard, &all);
    }
    if (s != Status::Ok) {
        return Failure(s);
    }
    for (const auto& name : all) {
        HKey key;
        std::vector<registry::Value> values;
        s = hive.OpenKey(pccard, name, &key);
        if (s == Status::Ok) {
            s = hive.ListValues(key, &values);
        }
        if (s != Status::Ok) {
            return Failure(s);
        }
        if (!values.empty()) {
            names->push_back(name);
        }
    }
    return {};
}

StoreValue<std::vector<std::string>> ListProfileNames() {
    std::vector<std::string> names;
    if (StoreResult r = ListProfiles(&names); !r.Ok()) {
        return r;
    }
    return names;
}

StoreValue<std::string> StoredProfileName(const std::string& name) {
    auto stored = ListProfileNames();
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

StoreValue<Profile> ReadProfile(const std::string& name) {
    Profile profile;
    if (!IsStorableName(name)) {
        return profile;
    }
    auto& hive = DefaultHive();
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
        return Failure(s);
    }
    profile.values.reserve(values.size());
    for (auto& v : values) {
        std::size_t nul = v.data.find('\0');
        if (nul != std::string::npos) {
            v.data.resize(nul);
        }
        profile.values.push_back(std::move(v.data));
    }
    return profile;
}

StoreValue<std::string> ActiveProfileName() {
    auto names = Subkeys(WithoutTrailingBackslash(CurrentPath()));
    if (!names.Ok()) {
        return names.Result();
    }
    return names.Value().empty() ? std::string() : names.Value().front();
}

StoreValue<bool> IsActiveProfile(const std::string& name) {
    auto active = ActiveProfileName();
    if (!active.Ok()) {
        return active.Result();
    }
    return !active.Value().empty() && SameProfileName(active.Value(), name);
}

StoreValue<bool> StoreFileExists() {
    const auto& hive = DefaultHive();
    std::error_code ec;
    const bool exists = std::filesystem::exists(hive.Path(), ec);
    if (ec) {
        return HiveFailure(hive, Status(Status::Failed, hive.Path() + ": " + ec.message()));
    }
    return exists;
}

StoreValue<bool> IsFirstStart() {
    RegistryKey key(HKEY_LOCAL_MACHINE, CurrentPath());
    if (StoreResult r = key.ReadSubkeys(); !r.Ok()) {
        return r;
    }
    return key.Results().empty();
}

StoreResult WriteProfile(RegistryKey& key, const ProfileRecord& r) {
    if (!IsStorableName(r.Location)) {
        return NotAProfileName(r.Location);
    }
    // Creating the key belongs to the save: a save cut short never leaves an empty key.
    registry::Hive::Batch batch(DefaultHive());
    if (!batch.Ok()) {
        return Failure(batch.Begun());
    }
    if (StoreResult opened = key.Reopen(HKEY_LOCAL_MACHINE, ProfilePath(r.Location));
        !opened.Ok()) {
        return opened;
    }
    std::vector<std::string> names(kProfileValueNames.begin(),
                                   kProfileValueNames.begin() + kTerminal1Values);
    std::vector<std::string> values{r.Location, r.Switch, r.Phone1, r.SPID1, r.Port,
                                    r.Baud,     r.Bits,   r.Parity, r.Stop,  r.Flow};
    std::vector<std::string> remove;
    if (r.terminal2) {
        names.push_back(kProfileValueNames[kPhone2]);
        names.push_back(kProfileValueNames[kSpid2]);
        values.push_back(r.Phone2);
        values.push_back(r.SPID2);
    } else {
        remove = {kProfileValueNames[kPhone2], kProfileValueNames[kSpid2]};
    }
    StoreResult written = key.WriteValues(names, values, remove);
    if (Status committed = batch.Commit(); !committed.IsOk()) {
        return Failure(committed);
    }
    return written;
}

StoreResult SaveNewProfile(const ProfileRecord& record) {
    if (!IsNewProfileName(record.Location)) {
        return NotAProfileName(record.Location);
    }
    registry::Hive::Batch batch(DefaultHive());
    if (!batch.Ok()) {
        return Failure(batch.Begun());
    }
    std::vector<std::string> names;
    if (StoreResult r = ListProfiles(&names); !r.Ok()) {
        return r;
    }
    for (const auto& stored : names) {
        if (SameProfileName(stored, record.Location)) {
            return StoreResult::Fail(StoreStatus::Changed,
                                     res::Fill(res::Tr("Another program stored a profile named "
                                                       "\"%1\" meanwhile; it was left as it "
                                                       "is."),
                                               {stored}));
        }
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    if (StoreResult written = WriteProfile(key, record); !written.Ok()) {
        return written;
    }
    if (Status committed = batch.Commit(); !committed.IsOk()) {
        return Failure(committed);
    }
    return {};
}

StoreResult MarkProfileActive(RegistryKey& key, const std::string& name) {
    if (!IsStorableName(name)) {
        return NotAProfileName(name);
    }
    registry::Hive::Batch batch(DefaultHive());
    if (!batch.Ok()) {
        return Failure(batch.Begun());
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
        return Failure(committed);
    }
    return {};
}

StoreResult RemoveProfile(const std::string& typed, bool allowLast, std::string* removed) {
    auto& hive = DefaultHive();
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return Failure(batch.Begun());
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
    const auto records = Subkeys(current);
    if (!records.Ok()) {
        return records.Result();
    }
    for (const auto& record : records.Value()) {
        if (SameProfileName(record, name)) {
            Status s = hive.DeleteKey(HKEY_LOCAL_MACHINE, current + "\\" + record);
            if (s != Status::Ok && s != Status::NotFound) {
                return Failure(s);
            }
        }
    }
    Status s = hive.DeleteKey(HKEY_LOCAL_MACHINE, ProfilePath(name));
    if (s.IsOk()) {
        s = batch.Commit();
    }
    if (!s.IsOk()) {
        return Failure(s);
    }
    if (removed) {
        *removed = name;
    }
    return {};
}

}  // namespace zo::store
