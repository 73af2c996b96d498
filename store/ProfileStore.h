#pragma once

#include <string>
#include <vector>

#include "store/Profile.h"
#include "store/RegistryKey.h"
#include "store/StoreResult.h"

namespace zo::store {

// String 117 and 122 and the paths built from them.
const std::string& PccardPath();
const std::string& CurrentPath();
std::string ProfilePath(const std::string& name);
std::string WithoutTrailingBackslash(const std::string& path);

// A name the store can hold as exactly one key: not empty, no backslash, at most 255
// characters. Anything else would address another key or be refused by the store.
bool IsStorableName(const std::string& name);

// A name the user may give a new profile: storable, and without control characters, which
// a registry file or a terminal would act on (a line feed starts a new key line).
bool IsNewProfileName(const std::string& name);

// Two names of one profile: the store compares key names without regard to ASCII case.
bool SameProfileName(const std::string& a, const std::string& b);

// The functions from here on work on the hive handed in, else on the default hive
// (registry::DefaultHive) as it is at the call, and show no message: the caller reports a failure,
// with the reason each returns. A store that cannot be read is a failure, never "no profile". Any
// thread, one at a time, as the hive has no lock.

// The profiles: subkeys of the PCCARD key that hold values, in enumeration order. A key
// without values is no profile and is neither listed nor counted.
StoreResult ListProfiles(std::vector<std::string>* names,
                         registry::Hive& hive = registry::DefaultHive());
StoreValue<std::vector<std::string>> ListProfileNames(
    registry::Hive& hive = registry::DefaultHive());
// The stored spelling of a profile's name typed in any letter case; empty when no
// profile of that name is stored.
StoreValue<std::string> StoredProfileName(const std::string& name,
                                          registry::Hive& hive = registry::DefaultHive());
// Reads a profile without creating its key; one that does not exist when the key holds
// no values. A value is cut at its first zero byte.
StoreValue<Profile> ReadProfile(const std::string& name,
                                registry::Hive& hive = registry::DefaultHive());
// The first subkey name of the CURRENT key, or empty when no profile is active.
StoreValue<std::string> ActiveProfileName(registry::Hive& hive = registry::DefaultHive());
StoreValue<bool> IsActiveProfile(const std::string& name,
                                 registry::Hive& hive = registry::DefaultHive());

// Whether the hive's file is there. A store never written holds no key, so a
// start may read "nothing" from its absence without creating the file. One that cannot be
// looked for (a folder the user may not search) is a failure, not an absent store.
StoreValue<bool> StoreFileExists(const registry::Hive& hive = registry::DefaultHive());

// The first-start test: the CURRENT key (opened with its trailing backslash, created
// when missing) has no subkey.
StoreValue<bool> IsFirstStart(registry::Hive& hive = registry::DefaultHive());

// Points `key` at the profile's key, in the key's hive, and writes its values in stored order; with
// terminal 2 off the stale "Phone2" and "SPID2" are removed in the same transaction.
// Nothing is written on a failure (callers show string 114 with its reason).
StoreResult WriteProfile(RegistryKey& key, const Profile& profile);

// Saves a profile under a name the user chose as new (the wizard's). The name is checked
// again in the transaction of the save: when a profile of that name (in any letter case)
// is stored by then, another program's import or save, nothing is written and the result
// is Changed, so that profile stands.
StoreResult SaveNewProfile(const Profile& profile, registry::Hive& hive = registry::DefaultHive());

// Replaces the CURRENT key's subkey, in the key's hive, with one named `name`, leaving `key`
// on it.
// One transaction: CURRENT never ends up with none or two after a failure.
StoreResult MarkProfileActive(RegistryKey& key, const std::string& name);

// Deletes a profile and, when it is the active one, the CURRENT record of it. The name
// may be typed in any case. Refuses the last remaining profile (LastProfile) unless
// `allowLast`; NotFound when no such profile is stored; Failed with the reason. `removed`,
// when given, receives the name as it was stored.
StoreResult RemoveProfile(const std::string& name, bool allowLast = false,
                          std::string* removed = nullptr,
                          registry::Hive& hive = registry::DefaultHive());

}  // namespace zo::store
