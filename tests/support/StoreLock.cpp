#include "support/StoreLock.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/registry/Hive.h"

namespace zo::test {

StoreLock::StoreLock(const std::string& path) {
    registry::Hive& hive = registry::DefaultHive();
    const registry::Status opened = hive.Open();
    EXPECT_TRUE(opened.IsOk()) << opened.Text();
    hive.SetBusyTimeoutMs(0);
    EXPECT_EQ(sqlite3_open(path.c_str(), &m_db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
}

StoreLock::~StoreLock() {
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
}

}  // namespace zo::test
