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

void SplitInto(const std::string& number, std::string& area, std::string& exchange,
               std::string& line) {
    link::DirectoryNumberParts parts = link::SplitDirectoryNumber(number);
    area = parts.area;
    exchange = parts.exchange;
    line = parts.line;
}

}  // namespace

ProfileEditor::ProfileEditor(Listener& listener) : listener(listener) {}

std::string& ProfileEditor::Text(Field field) {
    switch (field) {
        case Field::Area1:
            return fields.area1;
        case Field::Exchange1:
            return fields.exchange1;
        case Field::Line1:
            return fields.line1;
        case Field::Spid1:
            return fields.spid1;
        case Field::Area2:
            return fields.area2;
        case Field::Exchange2:
            return fields.exchange2;
        case Field::Line2:
            return fields.line2;
        case Field::Spid2:
            break;
    }
    return fields.spid2;
}

void ProfileEditor::SetTerminal2(bool inUse) {
    fields.terminal2 = inUse;
    listener.Terminal2Changed();
}

void ProfileEditor::SetRemovable(bool value) {
    removable = value;
    listener.RemovableChanged();
}

bool ProfileEditor::ListProfiles() {
    std::vector<std::string> stored;
    if (const store::StoreResult listed = store::ListProfiles(&stored); !listed.Ok()) {
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
        const auto active = store::ActiveProfileName();
        if (active.Ok()) {
            fields.name = active.Value();
        } else {
            listener.StoreFailed(active.Result().text);
        }
    } else {
        modified = true;
    }
    Load(fields.name);
    listener.PortChanged();
}

bool ProfileEditor::IsCurrent(RegistryKey* key, const std::string* name) {
    std::unique_ptr<RegistryKey> own;
    store::StoreResult read;
    if (key) {
        read = key->Reopen(HKEY_LOCAL_MACHINE, store::CurrentPath());
    } else {
        own = std::make_unique<RegistryKey>(HKEY_LOCAL_MACHINE, store::CurrentPath());
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
    RegistryKey key(HKEY_LOCAL_MACHINE, store::ProfilePath(name));
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
    const store::Profile profile{key.Results()};
    loaded = profile;
    loadedName = name;
    fields.switchType = profile.At(store::kSwitch);
    SplitInto(profile.At(store::kPhone1), fields.area1, fields.exchange1, fields.line1);
    fields.spid1 = profile.At(store::kSpid1);
    fields.port = profile.At(store::kPort);
    fields.baud = profile.At(store::kBaud);
    fields.bits = profile.At(store::kBits);
    fields.parity = profile.At(store::kParity);
    fields.stop = profile.At(store::kStop);
    fields.flow = profile.At(store::kFlow);
    if (profile.HasTerminal2()) {
        SplitInto(profile.At(store::kPhone2), fields.area2, fields.exchange2, fields.line2);
        fields.spid2 = profile.At(store::kSpid2);
        SetTerminal2(true);
    } else {
        fields.area2.clear();
        fields.exchange2.clear();
        fields.line2.clear();
        fields.spid2.clear();
        SetTerminal2(false);
    }
    listener.PortChanged();
    if (!IsCurrent(&key, &fields.name)) {
        modified = true;
    }
    return true;
}

bool ProfileEditor::Select() {
    if (Load(fields.name)) {
        SetTerminal2(!fields.area2.empty());
    }
    RegistryKey key(HKEY_LOCAL_MACHINE, store::WithoutTrailingBackslash(store::CurrentPath()));
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
    } else if (key.Results().front() == fields.name) {
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
    if (!fields.name.empty()) {
        names.push_back(fields.name);
    }
    for (const std::string& name : stored) {
        if (name != fields.name) {
            names.push_back(name);
        }
    }
    listener.ProfilesListed();
}

void ProfileEditor::Relist() {
    std::vector<std::string> stored;
    if (const store::StoreResult listed = store::ListProfiles(&stored); !listed.Ok()) {
        listener.StoreFailed(listed.text);
        return;
    }
    ListInHandFirst(stored);
}

void ProfileEditor::TakeNewProfile(const link::ModemChannel& channel) {
    fields.name = channel.Location;
    fields.switchType = channel.Switch;
    fields.spid1 = channel.SPID1;
    fields.spid2 = channel.SPID2;
    SplitInto(channel.Phone1, fields.area1, fields.exchange1, fields.line1);
    SplitInto(channel.Phone2, fields.area2, fields.exchange2, fields.line2);
    fields.port = channel.Port;
    fields.baud = channel.Baud;
    fields.bits = channel.Bits;
    fields.parity = channel.Parity;
    fields.stop = channel.Stop;
    fields.flow = channel.Flow;
    listener.PortChanged();
    SetTerminal2(!fields.spid2.empty());
    const store::StoreResult read = ReadLoaded();
    // What was listed before a failure still goes into the list.
    std::vector<std::string> stored;
    if (const store::StoreResult listed = store::ListProfiles(&stored); !listed.Ok()) {
        listener.StoreFailed(listed.text);
    } else {
        // A store that fails both times is told of once.
        if (!read.Ok()) {
            listener.StoreFailed(read.text);
        }
        SetRemovable(stored.size() >= 2);
    }
    ListInHandFirst(stored);
    modified = !IsCurrent(nullptr, &fields.name);
}

bool ProfileEditor::Remove() {
    const store::StoreResult removed = store::RemoveProfile(fields.name);
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
    store::StoreResult listed = store::ListProfiles(&stored);
    if (listed.Ok() && stored.empty()) {
        // Another program removed the rest meanwhile: the page has none left to show.
        listed = store::HiveFailure(registry::DefaultHive(), registry::Status::NotFound);
    }
    if (!listed.Ok()) {
        listener.StoreFailed(listed.text);
        return false;
    }
    SetRemovable(stored.size() >= 2);
    auto entry = std::find_if(names.begin(), names.end(), [this](const std::string& name) {
        return store::SameProfileName(name, fields.name);
    });
    if (entry != names.end()) {
        names.erase(entry);
    }
    listener.ProfileUnlisted(fields.name);
    const std::string next = stored.front();
    // Emptied so the next one shows as not applied: after a removal Close asks what the card holds.
    fields.name.clear();
    Load(next);
    fields.name = next;
    return true;
}

void ProfileEditor::SwitchTerminal2(bool inUse) {
    modified = true;
    if (!inUse) {
        fields.area2.clear();
        fields.exchange2.clear();
        fields.line2.clear();
        fields.spid2.clear();
    }
    SetTerminal2(inUse);
}

void ProfileEditor::SuggestSpid(int terminal) {
    const bool first = terminal == 1;
    std::optional<std::string> spid =
        first
            ? wizard::SuggestSpid(fields.switchType, fields.area1, fields.exchange1, fields.line1)
            : wizard::SuggestSpid(fields.switchType, fields.area2, fields.exchange2, fields.line2);
    if (spid && !spid->empty()) {
        (first ? fields.spid1 : fields.spid2) = *spid;
    }
}

int ProfileEditor::FirstNonDigit(const std::string& text) {
    auto bad = std::find_if(text.begin(), text.end(), [](char c) { return c < '0' || c > '9'; });
    return bad == text.end() ? -1 : static_cast<int>(bad - text.begin());
}

void ProfileEditor::SetIdentificationLine(link::ModemChannel& channel) const {
    link::SetQuerySettings(channel, fields.port);
}

link::CardSettings ProfileEditor::ApplySettings(const std::string& programmedPort) const {
    link::CardSettings settings;
    settings.switchType = fields.switchType;
    // The card answers calls to its seven-digit local number; the area code only goes into SPIDs.
    settings.number1 = fields.exchange1 + fields.line1;
    settings.spid1 = fields.spid1;
    settings.number2 = fields.exchange2 + fields.line2;
    settings.spid2 = fields.spid2;
    settings.flowCommand = link::kConfigPageFlowCommand;
    settings.location = fields.name;
    settings.record = Record();
    settings.record->Port = programmedPort;
    // What Apply may save over: the profile as this editor read it.
    // One that cannot be read counts as absent: the save then refuses to overwrite it.
    settings.readBefore = store::SameProfileName(loadedName, fields.name)
                              ? loaded
                              : store::ReadProfile(fields.name).Value();
    return settings;
}

void ProfileEditor::Applied(const std::string& programmedPort) {
    fields.port = programmedPort;
    listener.PortChanged();
    if (const store::StoreResult read = ReadLoaded(); !read.Ok()) {
        listener.StoreFailed(read.text);
    }
    modified = false;
}

store::StoreResult ProfileEditor::ReadLoaded() {
    const auto read = store::ReadProfile(fields.name);
    // Read as absent after a failure, so Apply refuses to save over what is stored now.
    loaded = read.Value();
    loadedName = fields.name;
    return read.Result();
}

store::ProfileRecord ProfileEditor::Record() const {
    store::ProfileRecord record;
    record.Location = fields.name;
    record.Switch = fields.switchType;
    record.Phone1 = fields.area1 + fields.exchange1 + fields.line1;
    record.SPID1 = fields.spid1;
    record.Port = fields.port;
    record.Baud = fields.baud;
    record.Bits = fields.bits;
    record.Parity = fields.parity;
    record.Stop = fields.stop;
    record.Flow = fields.flow;
    record.terminal2 = fields.terminal2;
    if (fields.terminal2) {
        record.Phone2 = fields.area2 + fields.exchange2 + fields.line2;
        record.SPID2 = fields.spid2;
    }
    return record;
}

ApplyOutcome ProgramCard(link::ModemChannel& channel, link::ProgressWindow& progress,
                         const link::CardSettings& settings) {
    link::CardConfiguration run(channel, progress, link::ProgressSteps::ConfigurationPage);
    ApplyOutcome outcome;
    outcome.result = run.Run(settings);
    outcome.refusedField = run.RefusedField();
    outcome.storeText = run.StoreOutcome().text;
    return outcome;
}

}  // namespace zo::summary
