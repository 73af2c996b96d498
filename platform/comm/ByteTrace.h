#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/clock/Clock.h"
#include "platform/threads/Mutex.h"

namespace zo::comm {

// A troubleshooting record of every byte exchanged with a device: one line per read or
// write, with the seconds since the trace began on the steady clock, the direction and
// the bytes, printable ones as they are and the rest escaped.
class ByteTrace {
public:
    // Empties or creates `path`, private to the user; null with a reason in `error` when it
    // cannot, or when the file is another user's or cannot be made private.
    static std::shared_ptr<ByteTrace> Create(const std::string& path, std::string* error);
    explicit ByteTrace(std::FILE* file);  // not owned; for tests
    ~ByteTrace();
    ByteTrace(const ByteTrace&) = delete;
    ByteTrace& operator=(const ByteTrace&) = delete;

    // A note on an event (open, close, a failure and its reason), line breaks escaped.
    void Note(std::string_view text);
    void Sent(std::string_view bytes);
    void Received(std::string_view bytes);

    // "\r\n" as \r\n, other bytes outside printable ASCII as \xNN, a backslash as \\.
    static std::string Escape(std::string_view bytes);

private:
    void Line(const char* direction, std::string_view text);

    threads::Mutex m_mutex;
    // Lines from several threads are written whole, one after the other.
    std::FILE* m_file ZO_GUARDED_BY(m_mutex);
    bool m_owned = false;
    platform::Clock::TimePoint m_start;
};

}  // namespace zo::comm
