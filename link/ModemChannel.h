#pragma once

#include <cstdint>
#include <string>

#include "store/ProfileStore.h"

namespace zo::link {

// The program's one route to the card. It carries the working profile: the one copy of
// the profile in hand, filled by the wizard pages, completed by card detection and taken
// over by the configuration page. Pages read and write the fields directly.
class ModemChannel {
public:
    ModemChannel() = default;
    ModemChannel(const ModemChannel&) = delete;
    ModemChannel& operator=(const ModemChannel&) = delete;

    // The working profile as a record to store; terminal 2 belongs to it at a count of 2.
    store::ProfileRecord WorkingProfileRecord() const;

    std::string Location;
    std::string Switch;
    std::string Phone1;
    std::string Phone2;
    std::string SPID1;
    std::string SPID2;
    std::string Port;
    std::string Baud;
    std::string Bits;
    std::string Parity;
    std::string Stop;
    std::string Flow;
    std::int32_t TerminalCount = 0;
    bool AutoDetect = false;
    std::uint8_t ParityCode = 0;
    std::uint8_t StopBitsCode = 0;
};

}  // namespace zo::link
