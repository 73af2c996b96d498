#include "store/AppliedSave.h"

#include "platform/registry/Hive.h"
#include "res/Translation.h"

namespace zo::store {
namespace {

StoreResult Failure() {
    return StoreResult::Fail(StoreStatus::Failed, RegistryFailureDetail());
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
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    if (save.record) {
        Profile record = *save.record;
        record.Location = name;
        // Values that are already stored stay untouched.
        if (Profile::FromStored(record.Values()) != now && !WriteProfile(key, record)) {
            return Failure();
        }
    }
    if (!MarkProfileActive(key, name) || batch.Commit() != registry::Status::Ok) {
        return Failure();
    }
    return {};
}

}  // namespace zo::store
