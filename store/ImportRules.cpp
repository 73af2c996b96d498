#include <algorithm>
#include <map>
#include <tuple>

#include "platform/registry/KeyPath.h"
#include "res/Translation.h"
#include "store/ControlCharacters.h"
#include "store/ProfileStore.h"
#include "store/RegTransfer.h"

namespace zo::store {

using registry::FoldName;
using registry::HKey;
using registry::Status;

namespace {

// Where a key of the file lands in the program's layout.
enum class Place { Other, ProfileList, Profile, BelowProfile, CurrentKey, Applied, BelowApplied };

std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    registry::SplitKeyPath(path, &parts);
    return parts;
}

// Whether `parts` starts with the names of `prefix`, compared as the store compares them.
bool Below(const std::vector<std::string>& parts, const std::vector<std::string>& prefix) {
    if (parts.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (FoldName(parts[i]) != FoldName(prefix[i])) {
            return false;
        }
    }
    return true;
}

Place PlaceOf(const std::vector<std::string>& parts) {
    static const std::vector<std::string> pccard = Split(PccardPath());
    static const std::vector<std::string> current = Split(CurrentPath());
    for (const auto& [prefix, own, child, below] :
         {std::tuple{&pccard, Place::ProfileList, Place::Profile, Place::BelowProfile},
          std::tuple{&current, Place::CurrentKey, Place::Applied, Place::BelowApplied}}) {
        if (Below(parts, *prefix)) {
            const std::size_t depth = parts.size() - prefix->size();
            return depth == 0 ? own : depth == 1 ? child : below;
        }
    }
    return Place::Other;
}

StoreResult Refuse(int line, std::string text) {
    return StoreResult::Fail(StoreStatus::Invalid, std::move(text), line);
}

StoreResult StoreFailure(const Status& why, const std::string& what) {
    return StoreResult::Fail(StoreStatus::Failed, what + ": " + why.Text());
}

std::size_t KnownPosition(const std::string& valueName) {
    for (std::size_t i = 0; i < kProfileValueNames.size(); ++i) {
        if (FoldName(valueName) == FoldName(kProfileValueNames[i])) {
            return i;
        }
    }
    return kProfileValueNames.size();
}

// A profile as it will be stored: the store's values overlaid with the file's.
struct MergedProfile {
    std::string name;                           // as the file spells it
    int line = 0;                               // the file's first key line of it
    std::map<std::size_t, std::string> values;  // by stored position
};

// The static rules: what a key may hold wherever it lands.
StoreResult CheckKey(const RegKey& key, Place place) {
    for (const auto& name : Split(key.path)) {
        if (HasControlCharacters(name)) {
            return Refuse(key.line, res::Tr("a key name holds a control character"));
        }
    }
    switch (place) {
        case Place::BelowProfile:
            return Refuse(key.line, res::Tr("a key below a profile cannot be used, changed or "
                                            "removed by this program"));
        case Place::BelowApplied:
            return Refuse(key.line, res::Tr("a key below the record of the applied profile "
                                            "would keep that record from ever being replaced"));
        case Place::CurrentKey:
        case Place::Applied:
            if (!key.values.empty()) {
                return Refuse(key.values.front().line,
                              res::Tr("the record of the applied profile holds no values"));
            }
            break;
        case Place::Profile:
        case Place::ProfileList:
        case Place::Other:
            break;
    }
    for (const auto& v : key.values) {
        if (HasControlCharacters(v.name) || HasControlCharacters(v.data)) {
            return Refuse(v.line, res::Tr("a value name or value holds a control character"));
        }
        if (place == Place::Profile && KnownPosition(v.name) == kProfileValueNames.size()) {
            // TRANSLATORS: the value names are the store's own: keep them as they are.
            return Refuse(v.line, res::Fill(res::Tr("\"%1\" is not a value of a profile, which "
                                                    "holds only Location, Switch, Phone1, SPID1, "
                                                    "Port, Baud, Bits, Parity, Stop, Flow, Phone2 "
                                                    "and SPID2"),
                                            {v.name}));
        }
    }
    return {};
}

// Reads the stored values of a profile by position; a missing key gives none.
StoreResult StoredValues(registry::Hive& hive, const std::string& name,
                         std::map<std::size_t, std::string>* out) {
    HKey key;
    Status s = hive.OpenKey(registry::HKEY_LOCAL_MACHINE, ProfilePath(name), &key);
    if (s == Status::NotFound) {
        return {};
    }
    std::vector<registry::Value> values;
    if (s == Status::Ok) {
        s = hive.ListValues(key, &values);
    }
    if (s != Status::Ok) {
        return StoreFailure(s, res::Fill(res::Tr("cannot read the stored profile %1"), {name}));
    }
    for (auto& v : values) {
        std::size_t pos = KnownPosition(v.name);
        if (pos < kProfileValueNames.size()) {
            v.data.resize(std::min(v.data.size(), v.data.find('\0')));
            (*out)[pos] = std::move(v.data);
        }
    }
    return {};
}

// Readers take values by position, so a profile must hold a leading run of the stored
// order: a gap would move every later value under another value's name.
StoreResult CheckReadable(const MergedProfile& p) {
    std::size_t expected = 0;
    for (const auto& [pos, data] : p.values) {
        if (pos != expected) {
            return Refuse(
                p.line, res::Fill(res::Tr("the profile %1 has no \"%2\" before \"%3\", so its "
                                          "values could not be read back as written"),
                                  {p.name, kProfileValueNames[expected], kProfileValueNames[pos]}));
        }
        ++expected;
    }
    return {};
}

StoreResult WriteProfileValues(registry::Hive& hive, const MergedProfile& p) {
    HKey key;
    Status s = hive.CreateKey(registry::HKEY_LOCAL_MACHINE, ProfilePath(p.name), &key);
    if (s != Status::Ok) {
        return StoreFailure(
            s, res::Fill(res::Tr("line %1: cannot create the key"), {std::to_string(p.line)}));
    }
    // Rewritten whole, so the values stand in stored order whatever order they had.
    std::vector<registry::Value> old;
    if (s = hive.ListValues(key, &old); s != Status::Ok) {
        return StoreFailure(s, res::Fill(res::Tr("cannot read the stored profile %1"), {p.name}));
    }
    for (const auto& v : old) {
        if (s = hive.DeleteValue(key, v.name); s != Status::Ok) {
            return StoreFailure(s, res::Fill(res::Tr("cannot rewrite the profile %1"), {p.name}));
        }
    }
    for (const auto& [pos, data] : p.values) {
        if (s = hive.SetString(key, kProfileValueNames[pos], data); s != Status::Ok) {
            return StoreFailure(s, res::Fill(res::Tr("cannot write the profile %1"), {p.name}));
        }
    }
    return {};
}

}  // namespace

StoreResult ImportKeys(registry::Hive& hive, const std::vector<RegKey>& keys) {
    std::vector<Place> places;
    // CURRENT names the one profile last applied to the card. A file that brings its own
    // takes the place of the stored one; two would leave the program unable to say which.
    std::string applied;
    int appliedLine = 0;
    for (const auto& key : keys) {
        const std::vector<std::string> parts = Split(key.path);
        places.push_back(PlaceOf(parts));
        if (StoreResult r = CheckKey(key, places.back()); !r.Ok()) {
            return r;
        }
        if (places.back() != Place::Applied || FoldName(parts.back()) == FoldName(applied)) {
            continue;
        }
        if (!applied.empty()) {
            return Refuse(key.line,
                          res::Tr("the file names more than one profile as applied to the card"));
        }
        applied = parts.back();
        appliedLine = key.line;
    }

    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return StoreFailure(batch.Begun(), res::Tr("cannot lock the store"));
    }
    // Profiles are merged under the lock, so what is checked is what gets written.
    std::vector<MergedProfile> profiles;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (places[i] != Place::Profile) {
            continue;
        }
        const std::string name = Split(keys[i].path).back();
        auto it = std::find_if(profiles.begin(), profiles.end(), [&](const MergedProfile& p) {
            return FoldName(p.name) == FoldName(name);
        });
        if (it == profiles.end()) {
            profiles.push_back(MergedProfile{name, keys[i].line, {}});
            it = std::prev(profiles.end());
            if (StoreResult r = StoredValues(hive, name, &it->values); !r.Ok()) {
                return r;
            }
        }
        for (const auto& v : keys[i].values) {
            it->values[KnownPosition(v.name)] = v.data;
        }
    }
    for (const auto& p : profiles) {
        if (StoreResult r = CheckReadable(p); !r.Ok()) {
            return r;
        }
    }
    if (!applied.empty()) {
        const bool inFile =
            std::any_of(profiles.begin(), profiles.end(), [&](const MergedProfile& p) {
                return FoldName(p.name) == FoldName(applied) && !p.values.empty();
            });
        std::map<std::size_t, std::string> stored;
        if (StoreResult r = StoredValues(hive, applied, &stored); !r.Ok()) {
            return r;
        }
        if (!inFile && stored.empty()) {
            return Refuse(appliedLine,
                          res::Fill(res::Tr("the file records %1 as applied, but neither the file "
                                            "nor the store holds a profile of that name"),
                                    {applied}));
        }
        const std::string current = WithoutTrailingBackslash(CurrentPath());
        HKey handle;
        std::vector<std::string> records;
        Status s = hive.OpenKey(registry::HKEY_LOCAL_MACHINE, current, &handle);
        if (s == Status::Ok) {
            s = hive.ListSubkeys(handle, &records);
        }
        if (s != Status::Ok && s != Status::NotFound) {
            return StoreFailure(s, res::Tr("cannot read the applied profile"));
        }
        for (const auto& name : records) {
            if (FoldName(name) == FoldName(applied)) {
                continue;
            }
            s = hive.DeleteKey(registry::HKEY_LOCAL_MACHINE, current + "\\" + name);
            if (s != Status::Ok) {
                return StoreFailure(
                    s, res::Fill(res::Tr("cannot replace the applied profile %1"), {name}));
            }
        }
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (places[i] == Place::Profile) {
            continue;
        }
        HKey handle;
        Status s = hive.CreateKey(registry::HKEY_LOCAL_MACHINE, keys[i].path, &handle);
        if (s == Status::Failed) {
            return StoreFailure(s, res::Fill(res::Tr("line %1: cannot create the key"),
                                             {std::to_string(keys[i].line)}));
        }
        if (s != Status::Ok) {
            return Refuse(keys[i].line,
                          res::Fill(res::Tr("cannot create the key: %1"), {s.Text()}));
        }
        for (const auto& v : keys[i].values) {
            s = hive.SetString(handle, v.name, v.data);
            if (s == Status::Failed) {
                return StoreFailure(s, res::Fill(res::Tr("line %1: cannot write the value"),
                                                 {std::to_string(v.line)}));
            }
            if (s != Status::Ok) {
                return Refuse(v.line, res::Fill(res::Tr("cannot write the value: %1"), {s.Text()}));
            }
        }
    }
    for (const auto& p : profiles) {
        if (StoreResult r = WriteProfileValues(hive, p); !r.Ok()) {
            return r;
        }
    }
    if (Status s = batch.Commit(); s != Status::Ok) {
        return StoreFailure(s, res::Tr("cannot save the import"));
    }
    return {};
}

}  // namespace zo::store
