#pragma once

#include <optional>
#include <string>

#include "store/ProfileStore.h"
#include "store/StoreResult.h"

namespace zo::store {

// How the store is left once the card took a profile's script.
struct AppliedSave {
    // The profile recorded as applied, in any letter case; the stored spelling is kept.
    std::string name;
    // The values to save under it; none leaves the profile's values as they are.
    std::optional<Profile> record;
    // The profile as this program read it before programming the card (one that does not
    // exist for the wizard's new profile, so that a profile another program stored under
    // its name meanwhile stands); none saves whatever the store holds.
    std::optional<Profile> readBefore;
};

// Records the applied profile and saves it in one transaction, so another program never
// sees one without the other. The profile is read again under the lock: when it vanished
// or changed since `readBefore`, nothing is written and the result is Changed, so no
// other program's removal or import is undone. Only values this program changed are
// written. Failed carries the store file and its error. Works on the hive handed in, else
// on the default hive, and shows no message. Needs no window system and may run on any thread, one
// call at a time per store; card programming runs it on the conversation worker.
StoreResult SaveAppliedProfile(const AppliedSave& save,
                               registry::Hive& hive = registry::DefaultHive());

}  // namespace zo::store
