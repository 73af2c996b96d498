#pragma once

#include <cstdint>

#include "link/LineSettings.h"
#include "store/Profile.h"

namespace zo::link {

// The profile in hand while the wizard makes one: filled by its pages, completed by card
// detection, saved at Finish and taken over by the configuration page. The application
// owns it next to the channel.
struct WorkingProfile : store::Profile {
    // The wizard's: terminal 2 belongs to the profile at a count of 2; whether the port
    // is searched for.
    std::int32_t TerminalCount = 0;
    bool AutoDetect = false;
    // The codes go with the line values: the wizard and the search always choose none
    // and one stop bit.
    std::uint8_t ParityCode = 0;
    std::uint8_t StopBitsCode = 0;

    // The profile as it is stored.
    store::Profile Record() const;
    // What the channel opens for it, and taking back what the channel has.
    LineSettings Line() const;
    void TakeLine(const LineSettings& line);
};

}  // namespace zo::link
