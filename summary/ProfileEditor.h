#pragma once

#include <string>
#include <vector>

#include "link/CardConfiguration.h"
#include "link/CardSettings.h"
#include "link/ModemChannel.h"
#include "link/ProgressWindow.h"
#include "store/ProfileStore.h"

namespace zo::summary {

// What Apply's conversation with the card came to.
struct ApplyOutcome {
    link::CardConfigurationResult result = link::CardConfigurationResult::Applied;
    // After UnsafeValue or Refused: the value or the command the card did not get.
    std::string refusedField;
    // After ProfileChanged: what the store said.
    std::string storeText;
    // The channel's reason behind PortNotOpened, NoReply and WriteFailed.
    std::string linkReason;
};

// The configuration page without its window: the stored profiles it lists, the one in hand
// for editing, whether that one is the profile the card holds, and what Apply sends and
// saves. Its listener (the page) is told of each change as it happens, so a message about
// a store failure finds the window as it was at that point.
// Seams: the hive it is handed; no message of its own (store failures go to the listener).
// User-interface thread; ProgramCard below runs on the conversation worker.
class ProfileEditor {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // A store operation failed, for `reason`; the operation ends where it stands.
        virtual void StoreFailed(const std::string& reason) = 0;
        // The list was filled anew from Names().
        virtual void ProfilesListed() = 0;
        // `name` left the list (the entry the list finds for it, in any letter case).
        virtual void ProfileUnlisted(const std::string& name) = 0;
        virtual void RemovableChanged() = 0;
        virtual void Terminal2Changed() = 0;
        virtual void PortChanged() = 0;
    };

    enum class Field { Area1, Exchange1, Line1, Spid1, Area2, Exchange2, Line2, Spid2 };

    ProfileEditor(Listener& listener, registry::Hive& hive);
    ProfileEditor(const ProfileEditor&) = delete;
    ProfileEditor& operator=(const ProfileEditor&) = delete;

    // The profile in hand. The page's controls hand their texts over into it and are filled
    // from it; each directory number is edited in the three parts the page shows (Text), which
    // Record() joins. The serial values are not shown: saved as they were read.
    store::Profile& Fields() { return profile; }
    const store::Profile& Fields() const { return profile; }
    std::string& Text(Field field);
    const std::string& Text(Field field) const {
        return const_cast<ProfileEditor*>(this)->Text(field);
    }
    // The names listed, in the order they went into the list.
    const std::vector<std::string>& Names() const { return names; }
    bool Removable() const { return removable; }
    // True while the profile in hand is not the one last applied to the card.
    bool Modified() const { return modified; }
    void SetModified(bool value) { modified = value; }

    // Start: lists the stored profiles; false when the store cannot be read.
    bool ListProfiles();
    // Start, after the list: the profile recorded as applied, else the name handed in.
    void LoadStartProfile();
    // Reads a profile into the fields; false after a store failure.
    bool Load(const std::string& name);
    // The user chose `Fields().Location` in the list: edits made meanwhile are dropped. False
    // when the record of the applied profile cannot be read.
    bool Select();
    // New: the list is emptied while the wizard runs, then filled again, the profile in
    // hand first; a finished wizard's profile becomes the one in hand.
    void ClearList();
    void Relist();
    void TakeNewProfile(const store::Profile& made);
    // Deletes the profile in hand and shows the first stored one left; false when nothing
    // was removed.
    bool Remove();

    // The check box of terminal 2: off empties its fields.
    void SwitchTerminal2(bool inUse);
    // The SPID of terminal 1 or 2 proposed from its number; none without a switch type.
    void SuggestSpid(int terminal);
    // Every field on the page takes digits only: the index of the first other character,
    // -1 when there is none.
    static int FirstNonDigit(const std::string& text);

    // The first query's line: the profile's port with the card's fixed settings.
    void SetIdentificationLine(link::ModemChannel& channel) const;
    // What Apply sends and saves, taken before the conversation starts: it runs on a worker
    // and reads nothing of the editor. `programmedPort` is the port the card is on, which
    // the " General" page may have changed since the profile was read.
    link::CardSettings ApplySettings(const std::string& programmedPort) const;
    // After a successful Apply: the profile as now stored is the one the card holds.
    void Applied(const std::string& programmedPort);
    // The profile in hand as it is stored, its numbers joined from their parts.
    store::Profile Record() const;
    // The store the editor reads and writes, and Apply saves to.
    registry::Hive& Store() const { return hive; }

private:
    // Whether a profile is recorded as applied (no name), or whether it is `name`.
    bool IsCurrent(store::RegistryKey* key, const std::string* name);
    void SetTerminal2(bool inUse);
    void SetRemovable(bool value);
    void ListInHandFirst(const std::vector<std::string>& stored);
    // Reads the profile in hand as what Apply may save over; tells no one.
    store::StoreResult ReadLoaded();

    void SplitNumbers();

    Listener& listener;
    store::Profile profile;
    // The page's view of Phone1 and Phone2 while they are edited.
    link::DirectoryNumberParts number1, number2;
    std::vector<std::string> names;
    bool removable = true;
    bool modified = false;
    registry::Hive& hive;
    // The profile as last read from the store, so Apply never saves over another
    // program's change made meanwhile.
    store::Profile loaded;
    std::string loadedName;
};

// Apply's conversation: programs the card, then records the profile as applied and saves
// it to `hive`. Seams: through the channel, the clock, the port map and the
// prompter (messages 111, 109 and 110). Runs on the conversation's worker.
ApplyOutcome ProgramCard(link::ModemChannel& channel, link::ProgressWindow& progress,
                         const link::CardSettings& settings, registry::Hive& hive);

}  // namespace zo::summary
