#pragma once

#include <string>

struct sqlite3;

namespace zo::registry {
class Hive;
}

namespace zo::test {

// Another program's exclusive lock on a hive's file (the default hive's unless given), held
// for the object's lifetime. The hive is opened first and set to give up at once, so every read of
// a store that opened fine fails meanwhile, as a store that breaks while the program runs.
class StoreLock {
public:
    explicit StoreLock(const std::string& path);
    explicit StoreLock(registry::Hive& hive);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // Whether the hive opened and the lock was taken; a test asserts it.
    bool Held() const { return m_held; }

private:
    StoreLock(registry::Hive& hive, const std::string& path);

    sqlite3* m_db = nullptr;
    bool m_held = false;
};

}  // namespace zo::test
