#pragma once

#include <cstdint>

namespace zo::comm {

enum class DtrControl : std::uint8_t { Disable, Enable, Handshake };
enum class RtsControl : std::uint8_t { Disable, Enable, Handshake, Toggle };

// Parity codes of the line state.
inline constexpr std::uint8_t kNoParity = 0;
inline constexpr std::uint8_t kOddParity = 1;
inline constexpr std::uint8_t kEvenParity = 2;
inline constexpr std::uint8_t kMarkParity = 3;
inline constexpr std::uint8_t kSpaceParity = 4;

// Stop-bit codes of the line state.
inline constexpr std::uint8_t kOneStopBit = 0;
inline constexpr std::uint8_t kOne5StopBits = 1;
inline constexpr std::uint8_t kTwoStopBits = 2;

// The line state of a serial device: what the channel reads, changes field by field
// and writes back. A device refuses a record it cannot carry out rather than
// applying part of it.
struct LineState {
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = kNoParity;
    std::uint8_t stopBits = kOneStopBit;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    DtrControl dtrControl = DtrControl::Enable;
    bool dsrSensitivity = false;
    bool outX = false;
    bool inX = false;
    RtsControl rtsControl = RtsControl::Enable;
    char xonChar = 0x11;
    char xoffChar = 0x13;

    friend bool operator==(const LineState&, const LineState&) = default;
};

}  // namespace zo::comm
