#pragma once

#include <optional>
#include <string>

#include "link/WorkingProfile.h"
#include "store/Profile.h"

namespace zo::link {

// The values one run of the card programming sends, filled by its caller.
struct CardSettings {
    std::string switchType;   // one of the three display texts; anything else sends nothing
    std::string number1;      // DN 1
    std::string spid1;        // SPID 1
    std::string number2;      // DN 2, empty when terminal 2 is not used
    std::string spid2;        // SPID 2
    std::string flowCommand;  // one of the three flow commands; empty sends nothing
    std::string location;     // the profile recorded as applied
    // Saved with the record of the applied profile in one transaction (store::AppliedSave):
    // the values to store, and the profile as read before the card was programmed.
    std::optional<store::Profile> record;
    std::optional<store::Profile> readBefore;
};

// The configuration page always asks for hardware flow control.
inline constexpr const char* kConfigPageFlowCommand = "AT&K3\r\n";

// The wizard's flow command for a profile's Flow text; empty for an unknown text.
std::string FlowCommandFor(const std::string& flow);

// The wizard's inputs: numbers cut to their last seven characters, the flow command from
// the profile's Flow; the working profile is saved as the run ends.
CardSettings WizardCardSettings(const WorkingProfile& profile);

// A stored directory number as the configuration page splits it: the first three
// characters, the three after them and the last four. A number of another length
// splits with gaps or overlaps, as the page shows it.
struct DirectoryNumberParts {
    std::string area, exchange, line;
};
DirectoryNumberParts SplitDirectoryNumber(const std::string& number);

// The configuration page's inputs for a stored profile: exchange and line number of
// each directory number (the area code is never sent) and hardware flow, recorded
// under the profile's key name. The profile's values stay as read, and the record is
// refused if another program changed them meanwhile.
CardSettings ConfigPageCardSettings(const std::string& name, const store::Profile& profile);

// A value is sent between double quotes: a double quote or a control byte in it would end
// the value early or start another command on the card.
bool IsSafeCardValue(const std::string& value);

}  // namespace zo::link
