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
    // Why the device failed or the port did not open: the device, the system's error and
    // a hint, for the detail under a message. Empty when nothing failed, and when a
    // device failed without saying why.
    std::string reason;

    bool Ok() const { return end == LinkEnd::Ok; }
    explicit operator bool() const { return Ok(); }
};

}  // namespace zo::link
