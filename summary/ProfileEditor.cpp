#include "summary/ProfileEditor.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "link/IdentificationQuery.h"
#include "store/RegistryKey.h"
#include "wizard/SpidSuggestion.h"

namespace zo::summary {
namespace {

using store::HKEY_LOCAL_MACHINE;
using store::RegistryKey;

std::string Joined(const link::DirectoryNumberParts& parts) {
    return parts.area + parts.exchange + parts.line;
}

}  // namespace

ProfileEditor::ProfileEditor(Listener& listener, registry::Hive& hive)
    : listener(listener), hive(hive) {}

std::string& ProfileEditor::Text(Field field) {
    switch (field) {
        case Field::Area1:
            return number1.area;
        case Field::Exchange1:
            return number1.exchange;
        case Field::Line1:
            return number1.line;
        case Field::Spid1:
            return profile.SPID1;
        case Field::Area2:
            return number2.area;
        case Field::Exchange2:
            return number2.exchange;
        case Field::Line2:
            return number2.line;
        case Field::Spid2:
            break;
    }
    return profile.SPID2;
}

void ProfileEditor::SplitNumbers() {
    number1 = link::SplitDirectoryNumber(profile.Phone1);
    number2 = link::SplitDirectoryNumber(profile.Phone2);
}

void ProfileEditor::SetTerminal2(bool inUse) {
    profile.terminal2 = inUse;
    listener.Terminal2Changed();
}

void ProfileEditor::SetRemovable(bool value) {
    removable = value;
    listener.RemovableChanged();
}

bool ProfileEditor::ListProfiles() {
    std::vector<std::string> stored;
    if (const store::StoreResult listed = store::ListProfiles(&stored, hive); !listed.Ok()) {
        listener.StoreFailed(listed.text);
        return false;
    }
    if (stored.size() == 1) {
        SetRemovable(false);
    }
    names = std::move(stored);
    listener.ProfilesListed();
    return true;
}

void ProfileEditor::LoadStartProfile() {
    if (IsCurrent(nullptr, nullptr)) {
        const auto active = store::ActiveProfileName(hive);
        if (active.Ok()) {
            profile.Location = active.Value();
        } else {
            listener.StoreFailed(active.Result().text);
        }
    } else {
        modified = true;
    }
    Load(profile.Location);
    listener.PortChanged();
}

bool ProfileEditor::IsCurrent(RegistryKey* key, const std::string* name) {
    std::unique_ptr<RegistryKey> own;
    store::StoreResult read;
    if (key) {
        read = key->Reopen(HKEY_LOCAL_MACHINE, store::CurrentPath());
    } else {
        own = std::make_unique<RegistryKey>(HKEY_LOCAL_MACHINE, store::CurrentPath(), hive);
        read = own->Opened();
        key = own.get();
    }
    if (read.Ok()) {
        read = key->ReadSubkeys();
    }
    if (!read.Ok()) {
        listener.StoreFailed(read.text);
        // Told once already: not knowing what the card holds is no reason for Close to ask.
        return true;
    }
    const std::vector<std::string>& applied = key->Results();
    return !applied.empty() && (!name || store::SameProfileName(applied.front(), *name));
}

bool ProfileEditor::Load(const std::string& name) {
    RegistryKey key(HKEY_LOCAL_MACHINE, store::ProfilePath(name), hive);
    store::StoreResult read = key.Opened();
    if (read.Ok()) {
        read = key.ReadValues();
    }
    if (!read.Ok()) {
        // A profile that cannot be read is never shown as an empty one.
        listener.StoreFailed(read.text);
        return false;
    }
    // Positions a short profile lacks read as empty.
    loaded = store::Profile::FromStored(key.Results());
    loadedName = name;
    // The name stays as chosen in the list; the rest is the profile as read.
    const std::string shown = profile.Location;
    profile = loaded;
    profile.Location = shown;
    SplitNumbers();
    SetTerminal2(profile.terminal2);
    listener.PortChanged();
    if (!IsCurrent(&key, &profile.Location)) {
        modified = true;
    }
    return true;
}

bool ProfileEditor::Select() {
    if (Load(profile.Location)) {
        SetTerminal2(!number2.area.empty());
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, store::WithoutTrailingBackslash(store::CurrentPath()),
                    hive);
    store::StoreResult read = key.Opened();
    if (read.Ok()) {
        read = key.ReadSubkeys();
    }
    if (!read.Ok()) {
        listener.StoreFailed(read.text);
        return false;
    }
    if (key.Results().empty()) {
        modified = true;
    } else if (key.Results().front() == profile.Location) {
        modified = false;
    }
    return true;
}

void ProfileEditor::ClearList() {
    names.clear();
    listener.ProfilesListed();
}

void ProfileEditor::ListInHandFirst(const std::vector<std::string>& stored) {
    names.clear();
    if (!profile.Location.empty()) {
        names.push_back(profile.Location);
    }
    for (const std::string& name : stored) {
        if (name != profile.Location) {
            names.push_back(name);
        }
    }
    listener.ProfilesListed();
}

void ProfileEditor::Relist() {
    std::vector<std::string> stored;
    if (const store::StoreResult listed = store::ListProfiles(&stored, hive); !listed.Ok()) {
        listener.StoreFailed(listed.text);
        return;
    }
    ListInHandFirst(stored);
}

void ProfileEditor::TakeNewProfile(const store::Profile& made) {
    profile = made;
    SplitNumbers();
    listener.PortChanged();
    SetTerminal2(!profile.SPID2.empty());
    const store::StoreResult read = ReadLoaded();
    // What was listed before a failure still goes into the list.
    std::vector<std::string> stored;
    if (const store::StoreResult listed = store::ListProfiles(&stored, hive); !listed.Ok()) {
        listener.StoreFailed(listed.text);
    } else {
        // A store that fails both times is told of once.
        if (!read.Ok()) {
            listener.StoreFailed(read.text);
        }
        SetRemovable(stored.size() >= 2);
    }
    ListInHandFirst(stored);
    modified = !IsCurrent(nullptr, &profile.Location);
}

bool ProfileEditor::Remove() {
    const store::StoreResult removed = store::RemoveProfile(profile.Location, false, nullptr, hive);
    switch (removed.status) {
        case store::StoreStatus::Ok:
        case store::StoreStatus::NotFound:  // another program removed it first
            break;
        case store::StoreStatus::LastProfile:
            // The last profile stays: the page always shows one.
            SetRemovable(false);
            return false;
        case store::StoreStatus::Invalid:
        case store::StoreStatus::Changed:
        case store::StoreStatus::Failed:
            listener.StoreFailed(removed.text);
            return false;
    }
    std::vector<std::string> stored;
    store::StoreResult listed = store::ListProfiles(&stored, hive);
    if (listed.Ok() && stored.empty()) {
        // Another program removed the rest meanwhile: the page has none left to show.
        listed = store::HiveFailure(hive, registry::Status::NotFound);
    }
    if (!listed.Ok()) {
        listener.StoreFailed(listed.text);
        return false;
    }
    SetRemovable(stored.size() >= 2);
    auto entry = std::find_if(names.begin(), names.end(), [this](const std::string& name) {
        return store::SameProfileName(name, profile.Location);
    });
    if (entry != names.end()) {
        names.erase(entry);
    }
    listener.ProfileUnlisted(profile.Location);
    const std::string next = stored.front();
    // Emptied so the next one shows as not applied: after a removal Close asks what the card holds.
    profile.Location.clear();
    Load(next);
    profile.Location = next;
    return true;
}

void ProfileEditor::SwitchTerminal2(bool inUse) {
    modified = true;
    if (!inUse) {
        number2 = {};
        profile.SPID2.clear();
    }
    SetTerminal2(inUse);
}

void ProfileEditor::SuggestSpid(int terminal) {
    const bool first = terminal == 1;
    std::optional<std::string> spid =
        first ? wizard::SuggestSpid(profile.Switch, number1.area, number1.exchange, number1.line)
              : wizard::SuggestSpid(profile.Switch, number2.area, number2.exchange, number2.line);
    if (spid && !spid->empty()) {
        (first ? profile.SPID1 : profile.SPID2) = *spid;
    }
}

int ProfileEditor::FirstNonDigit(const std::string& text) {
    auto bad = std::find_if(text.begin(), text.end(), [](char c) { return c < '0' || c > '9'; });
    return bad == text.end() ? -1 : static_cast<int>(bad - text.begin());
}

void ProfileEditor::SetIdentificationLine(link::ModemChannel& channel) const {
    link::SetQuerySettings(channel, profile.Port);
}

link::CardSettings ProfileEditor::ApplySettings(const std::string& programmedPort) const {
    link::CardSettings settings;
    settings.switchType = profile.Switch;
    // The card answers calls to its seven-digit local number; the area code only goes into SPIDs.
    settings.number1 = number1.exchange + number1.line;
    settings.spid1 = profile.SPID1;
    settings.number2 = number2.exchange + number2.line;
    settings.spid2 = profile.SPID2;
    settings.flowCommand = link::kConfigPageFlowCommand;
    settings.location = profile.Location;
    settings.record = Record();
    settings.record->Port = programmedPort;
    // What Apply may save over: the profile as this editor read it.
    // One that cannot be read counts as absent: the save then refuses to overwrite it.
    settings.readBefore = store::SameProfileName(loadedName, profile.Location)
                              ? loaded
                              : store::ReadProfile(profile.Location, hive).Value();
    return settings;
}

void ProfileEditor::Applied(const std::string& programmedPort) {
    profile.Port = programmedPort;
    listener.PortChanged();
    if (const store::StoreResult read = ReadLoaded(); !read.Ok()) {
        listener.StoreFailed(read.text);
    }
    modified = false;
}

store::StoreResult ProfileEditor::ReadLoaded() {
    const auto read = store::ReadProfile(profile.Location, hive);
    // Read as absent after a failure, so Apply refuses to save over what is stored now.
    loaded = read.Value();
    loadedName = profile.Location;
    return read.Result();
}

store::Profile ProfileEditor::Record() const {
    store::Profile record = profile;
    record.Phone1 = Joined(number1);
    record.Phone2 = record.terminal2 ? Joined(number2) : std::string();
    if (!record.terminal2) {
        record.SPID2.clear();
    }
    // A record to write, not one as read.
    record.storedCount = 0;
    record.beyond.clear();
    return record;
}

ApplyOutcome ProgramCard(link::ModemChannel& channel, link::ProgressWindow& progress,
                         const link::CardSettings& settings, registry::Hive& hive) {
    link::CardConfiguration run(channel, progress, link::ProgressSteps::ConfigurationPage, hive);
    ApplyOutcome outcome;
    outcome.result = run.Run(settings);
    outcome.refusedField = run.RefusedField();
    outcome.storeText = run.StoreOutcome().text;
    outcome.linkReason = run.LinkOutcome().reason;
    return outcome;
}

}  // namespace zo::summary
