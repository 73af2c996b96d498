#pragma once

#include <string>

struct sqlite3;

namespace zo::test {

// Another program's exclusive lock on the default hive's file, held for the object's
// lifetime. The hive is opened first and set to give up at once, so every read of a store
// that opened fine fails meanwhile, as a store that breaks while the program runs.
class StoreLock {
public:
    explicit StoreLock(const std::string& path);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // Whether the hive opened and the lock was taken; a test asserts it.
    bool Held() const { return m_held; }

private:
    sqlite3* m_db = nullptr;
    bool m_held = false;
};

}  // namespace zo::test
