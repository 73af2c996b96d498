#include "store/AppliedSave.h"

#include "platform/registry/Hive.h"
#include "res/Translation.h"

namespace zo::store {
namespace {

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
        return StoreResult::Fail(
            StoreStatus::Invalid,
            res::Fill(res::Tr("\"%1\" cannot be the name of a profile"), {save.name}));
    }
    registry::Hive::Batch batch(registry::DefaultHive());
    if (!batch.Ok()) {
        return HiveFailure(registry::DefaultHive(), batch.Begun());
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
    const StoreValue<Profile> read = ReadProfile(name);
    if (!read.Ok()) {
        return read.Result();
    }
    const Profile& now = read.Value();
    if (save.readBefore) {
        if (!save.readBefore->Exists() && now.Exists()) {
            return StoreResult::Fail(StoreStatus::Changed,
                                     res::Fill(res::Tr("Another program stored a profile named "
                                                       "\"%1\" while the card was being "
                                                       "programmed; it was left as it is."),
                                               {name}));
        }
        if (save.readBefore->Exists() && !now.Exists()) {
            return StoreResult::Fail(StoreStatus::Changed,
                                     res::Fill(res::Tr("Another program removed the profile "
                                                       "\"%1\" while the card was being "
                                                       "programmed."),
                                               {name}));
        }
        if (now.values != save.readBefore->values) {
            return StoreResult::Fail(StoreStatus::Changed,
                                     res::Fill(res::Tr("Another program changed the profile "
                                                       "\"%1\" while the card was being "
                                                       "programmed."),
                                               {name}));
        }
    } else if (!save.record && !now.Exists()) {
        return StoreResult::Fail(StoreStatus::NotFound,
                                 res::Fill(res::Tr("no profile named \"%1\""), {name}));
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    if (save.record) {
        ProfileRecord record = *save.record;
        record.Location = name;
        // Values that are already stored stay untouched.
        if (StoredValuesOf(record) != now.values) {
            if (StoreResult written = WriteProfile(key, record); !written.Ok()) {
                return written;
            }
        }
    }
    if (StoreResult marked = MarkProfileActive(key, name); !marked.Ok()) {
        return marked;
    }
    if (registry::Status committed = batch.Commit(); !committed.IsOk()) {
        return HiveFailure(registry::DefaultHive(), committed);
    }
    return {};
}

}  // namespace zo::store
