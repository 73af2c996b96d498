#pragma once

#include <cassert>
#include <string>
#include <utility>

namespace zo::store {

// What a store operation came to. Callers choose their message and exit code from the
// status; the text is the reason to show, never something to parse.
enum class StoreStatus {
    Ok,
    NotFound,     // no profile of that name
    LastProfile,  // the last profile is never removed
    Invalid,      // the input breaks a rule of the store; `line` says where in a file
    Changed,      // another program removed or changed the profile meanwhile
    Failed,       // the store file could not be read or written
};

struct StoreResult {
    StoreStatus status = StoreStatus::Ok;
    std::string text;
    int line = 0;

    bool Ok() const { return status == StoreStatus::Ok; }
    explicit operator bool() const { return Ok(); }
    static StoreResult Fail(StoreStatus s, std::string text, int line = 0) {
        return StoreResult{s, std::move(text), line};
    }
};

// A value read from the store, or why it could not be read. A failed read never passes
// for an empty one: a broken store is not "no profile".
template <typename T>
class StoreValue {
public:
    StoreValue(T value) : m_value(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    StoreValue(StoreResult failure)                     // NOLINT(google-explicit-constructor)
        : m_result(std::move(failure)) {
        assert(!m_result.Ok());
    }

    // No conversion to bool: for a StoreValue<bool> it would read as the value.
    bool Ok() const { return m_result.Ok(); }
    const StoreResult& Result() const { return m_result; }
    // After a failure: an empty value, never what the store holds.
    const T& Value() const { return m_value; }
    T& Value() { return m_value; }

private:
    StoreResult m_result;
    T m_value{};
};

}  // namespace zo::store
