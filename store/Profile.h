#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace zo::store {

// Value names of a profile key, in the order they are first written. Readers take
// values by position, so this order is part of the stored format.
inline constexpr std::array<const char*, 12> kProfileValueNames{
    "Location", "Switch", "Phone1", "SPID1", "Port",   "Baud",
    "Bits",     "Parity", "Stop",   "Flow",  "Phone2", "SPID2"};

enum ProfilePosition : std::size_t {
    kLocation = 0,
    kSwitch,
    kPhone1,
    kSpid1,
    kPort,
    kBaud,
    kBits,
    kParity,
    kStop,
    kFlow,
    kPhone2,
    kSpid2,
};

// Terminal 1's values; terminal 2 is in use when more than these are stored.
inline constexpr std::size_t kTerminal1Values = 10;

// One location profile: what the store reads and writes, the configuration page edits,
// the wizard fills and the card is programmed from. A value added here needs its name
// above and its member in the position table (Profile.cpp).
struct Profile {
    std::string Location, Switch, Phone1, SPID1, Port, Baud, Bits, Parity, Stop, Flow, Phone2,
        SPID2;
    // Phone2 and SPID2 are stored only while terminal 2 is in use.
    bool terminal2 = false;
    // As read from the store: how many values the key held (none: there is no such
    // profile) and those past the last position this program knows. Kept so that a check
    // for another program's change sees everything that was stored.
    std::size_t storedCount = 0;
    std::vector<std::string> beyond{};

    // The profile held by values read in stored order; missing positions read empty.
    static Profile FromStored(std::vector<std::string> values);
    // The values it writes, in stored order: terminal 1's, then terminal 2's when in use.
    std::vector<std::string> Values() const;

    // A key with no values is no profile.
    bool Exists() const { return storedCount > 0; }
    bool HasTerminal2() const { return terminal2; }
    // The value at a stored position; past the known ones as read, empty when missing.
    const std::string& At(std::size_t pos) const;

    bool operator==(const Profile&) const = default;
};

}  // namespace zo::store
