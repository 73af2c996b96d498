#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/clock/Clock.h"
#include "platform/comm/LineState.h"

namespace zo::comm {

// Capability bit: reads return at once with what is queued, so a read can be timed.
inline constexpr std::uint32_t kCapIntervalTimeouts = 0x0080;

struct Capabilities {
    std::uint32_t provCapabilities = 0;
    bool Has(std::uint32_t bit) const { return (provCapabilities & bit) != 0; }
};

// What the error-clearing call reports.
struct CommStatus {
    std::size_t inQueue = 0;
    std::size_t outQueue = 0;
    int lastError = 0;  // errno of the last failure, 0 if none
};

enum class WaitResult { Readable, Timeout, Failed };

// Time a write of `bytes` may take before the device gives up: 5 ms per byte plus 50 ms.
inline std::chrono::milliseconds WriteBound(std::size_t bytes) {
    return std::chrono::milliseconds(50 + 5 * static_cast<std::int64_t>(bytes));
}

// One open serial device. Nothing here blocks longer than its bound: reads return at
// once, waits end at their deadline, writes at their write bound.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Copies what is queued, up to buf.size() bytes, and returns at once; `got` may be 0.
    // False when the device failed or hung up.
    virtual bool Read(std::span<char> buf, std::size_t* got) = 0;
    // Waits until input is queued, the device fails, or the current clock reaches
    // `deadline`. Timeout means the deadline has passed.
    virtual WaitResult WaitReadable(platform::Clock::TimePoint deadline) = 0;
    // Writes all of `data` within WriteBound(data.size()); false on failure and when the
    // bound cut the write short.
    virtual bool Write(std::string_view data) = 0;
    virtual bool GetState(LineState* state) = 0;
    virtual bool SetState(const LineState& state) = 0;
    virtual void ClearError(CommStatus* status) = 0;
    virtual Capabilities GetCapabilities() = 0;
    // The device behind the port, for traces and messages.
    virtual std::string Describe() const = 0;
    // The errno of the last failure, kept until ClearError takes it; 0 if none is known.
    virtual int PendingError() const { return 0; }
    // Whether the device has gone for good: it failed with a hang-up, EIO, ENXIO or ENODEV,
    // or its node was removed or replaced by another. Such a handle never works again;
    // the port has to be opened afresh.
    virtual bool Lost() const { return false; }
};

}  // namespace zo::comm
