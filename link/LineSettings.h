#pragma once

#include <cstdint>
#include <string>

namespace zo::link {

// What the channel opens and how it sets the line: the port's name and the serial values
// as a profile stores them, with the parity and stop-bit codes the device takes.
struct LineSettings {
    std::string port, baud, bits, parity, stop, flow;
    std::uint8_t parityCode = 0;
    std::uint8_t stopBitsCode = 0;

    bool operator==(const LineSettings&) const = default;
};

}  // namespace zo::link
