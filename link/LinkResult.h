#pragma once

#include <string>

namespace zo::link {

// How a channel operation ended.
enum class LinkEnd {
    Ok,        // done: opened, written, "OK" arrived, or (ReadReply) something came
    Refused,   // the card answered "ERROR"
    Failed,    // the device failed or hung up, no port was open, or the user gave up
    TimedOut,  // the bound passed without "OK" or "ERROR" (ReadReply: without a byte)
};

// What each of the channel's opens, writes and reads returns: how it ended and why.
struct LinkResult {
    LinkEnd end = LinkEnd::Ok;
    // Why it failed, for the detail under a message: the device, the system's error and a
    // hint when the device failed or the port did not open; when no port was open, why the
    // last one went, if known. Empty when nothing failed, when a device failed without
    // saying why, and on Refused and TimedOut.
    std::string reason;

    bool Ok() const { return end == LinkEnd::Ok; }
    explicit operator bool() const { return Ok(); }
};

}  // namespace zo::link
