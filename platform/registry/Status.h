#pragma once

#include <string>
#include <utility>

namespace zo::registry {

// What a hive call came to, with its reason. Callers branch on the code; the reason is the
// text to show (the file and what went wrong), never something to parse.
class Status {
public:
    enum Code {
        Ok,
        NotFound,     // the key or value does not exist (or the handle is stale)
        HasSubkeys,   // a key that still has subkeys is never deleted
        InvalidName,  // empty path component, root deletion
        TooLong,      // path over 1023 or name over 255 characters
        Failed,       // the store could not be opened, read or written
    };

    Status() = default;
    // A code alone: the outcomes other than Failed say all there is to say.
    Status(Code code) : m_code(code) {}  // NOLINT(google-explicit-constructor)
    Status(Code code, std::string reason) : m_code(code), m_reason(std::move(reason)) {}

    Code code() const { return m_code; }
    bool IsOk() const { return m_code == Ok; }
    // The reason given (empty when the code says it all), else the code's own text.
    const std::string& Reason() const { return m_reason; }
    std::string Text() const;

    friend bool operator==(const Status& s, Code c) { return s.m_code == c; }

private:
    Code m_code = Ok;
    std::string m_reason;
};

// `c` in the user's language, for a message.
const char* StatusText(Status::Code c);

}  // namespace zo::registry
