#pragma once

#include <string>

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
    static StoreResult Fail(StoreStatus s, std::string text, int line = 0) {
        return StoreResult{s, std::move(text), line};
    }
};

}  // namespace zo::store
