#include "support/StoreLock.h"

#include <sqlite3.h>

#include "platform/registry/Hive.h"

namespace zo::test {

StoreLock::StoreLock(const std::string& path) : StoreLock(registry::DefaultHive(), path) {}

StoreLock::StoreLock(registry::Hive& hive) : StoreLock(hive, hive.Path()) {}

StoreLock::StoreLock(registry::Hive& hive, const std::string& path) {
    const bool opened = hive.Open().IsOk();
    hive.SetBusyTimeoutMs(0);
    m_held = opened && sqlite3_open(path.c_str(), &m_db) == SQLITE_OK &&
             sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

StoreLock::~StoreLock() {
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
}

}  // namespace zo::test
