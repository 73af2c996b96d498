#include "store/AppliedSave.h"

#include "platform/registry/Hive.h"
#include "res/Translation.h"

namespace zo::store {
StoreResult SaveAppliedProfile(const AppliedSave& save, registry::Hive& hive) {
    if (!IsStorableName(save.name)) {
        return StoreResult::Fail(
            StoreStatus::Invalid,
            res::Fill(res::Tr("\"%1\" cannot be the name of a profile"), {save.name}));
    }
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return HiveFailure(hive, batch.Begun());
    }
    std::vector<std::string> names;
    if (StoreResult r = ListProfiles(&names, hive); !r.Ok()) {
        return r;
    }
    std::string name = save.name;
    for (const auto& stored : names) {
        if (SameProfileName(stored, save.name)) {
            name = stored;
        }
    }
    const StoreValue<Profile> read = ReadProfile(name, hive);
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
        if (now != *save.readBefore) {
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
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath(), hive);
    if (save.record) {
        Profile record = *save.record;
        record.Location = name;
        // Values that are already stored stay untouched.
        if (Profile::FromStored(record.Values()) != now) {
            if (StoreResult written = WriteProfile(key, record); !written.Ok()) {
                return written;
            }
        }
    }
    if (StoreResult marked = MarkProfileActive(key, name); !marked.Ok()) {
        return marked;
    }
    if (registry::Status committed = batch.Commit(); !committed.IsOk()) {
        return HiveFailure(hive, committed);
    }
    return {};
}

}  // namespace zo::store
