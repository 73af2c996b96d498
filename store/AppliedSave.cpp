#include "store/AppliedSave.h"

#include "platform/registry/Hive.h"

namespace zo::store {
namespace {

StoreResult Failure() {
    return StoreResult::Fail(StoreStatus::Failed, RegistryFailureDetail());
}

// The values a record stores, in stored order.
std::vector<std::string> StoredValuesOf(const ProfileRecord& r) {
    std::vector<std::string> v{r.Location, r.Switch, r.Phone1, r.SPID1, r.Port,
                               r.Baud,     r.Bits,   r.Parity, r.Stop,  r.Flow};
    if (r.terminal2) {
        v.push_back(r.Phone2);
        v.push_back(r.SPID2);
    }
    return v;
}

}  // namespace

StoreResult SaveAppliedProfile(const AppliedSave& save) {
    if (!IsStorableName(save.name)) {
        return StoreResult::Fail(StoreStatus::Invalid,
                                 "\"" + save.name + "\" cannot be the name of a profile");
    }
    registry::Hive::Batch batch(registry::DefaultHive());
    if (!batch.Ok()) {
        return Failure();
    }
    std::vector<std::string> names;
    if (StoreResult r = ListProfiles(&names); !r.Ok()) {
        return r;
    }
    std::string name = save.name;
    for (const auto& stored : names) {
        if (SameProfileName(stored, save.name)) {
            name = stored;
        }
    }
    const Profile now = ReadProfile(name);
    if (save.readBefore) {
        if (!save.readBefore->Exists() && now.Exists()) {
            return StoreResult::Fail(StoreStatus::Changed,
                                     "Another program stored a profile named \"" + name +
                                         "\" while the card was being programmed; it was left "
                                         "as it is.");
        }
        if (save.readBefore->Exists() && !now.Exists()) {
            return StoreResult::Fail(StoreStatus::Changed,
                                     "Another program removed the profile \"" + name +
                                         "\" while the card was being programmed.");
        }
        if (now.values != save.readBefore->values) {
            return StoreResult::Fail(StoreStatus::Changed,
                                     "Another program changed the profile \"" + name +
                                         "\" while the card was being programmed.");
        }
    } else if (!save.record && !now.Exists()) {
        return StoreResult::Fail(StoreStatus::NotFound, "no profile named \"" + name + "\"");
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    if (save.record) {
        ProfileRecord record = *save.record;
        record.Location = name;
        // Values that are already stored stay untouched.
        if (StoredValuesOf(record) != now.values && !WriteProfile(key, record)) {
            return Failure();
        }
    }
    if (!MarkProfileActive(key, name) || batch.Commit() != registry::Status::Ok) {
        return Failure();
    }
    return {};
}

}  // namespace zo::store
