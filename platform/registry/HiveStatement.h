#pragma once

// The hive's prepared statements, shared by the files that make up Hive; not for other
// callers.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/registry/Hive.h"

namespace zo::registry {

// Prepared statements live as long as the connection; the store is hit once per
// value on large profile lists, so preparing each time would dominate.
struct Hive::Cache {
    std::unordered_map<const char*, sqlite3_stmt*> statements;
};

// Resets a cached statement when the call that used it ends.
class Hive::Statement {
public:
    Statement(Hive& hive, const char* sql) : m_hive(hive), m_stmt(hive.Prepare(sql)) {}
    ~Statement() {
        if (m_stmt) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    explicit operator bool() const { return m_stmt != nullptr; }
    sqlite3_stmt* get() const { return m_stmt; }
    void Bind(int i, std::int64_t v) { sqlite3_bind_int64(m_stmt, i, v); }
    void Bind(int i, std::string_view s) {
        sqlite3_bind_text(m_stmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    void BindBlob(int i, std::string_view s) {
        sqlite3_bind_blob(m_stmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    // Steps the statement; a wait it made for another program's lock ends with it.
    int Step();
    std::int64_t Int(int col) { return sqlite3_column_int64(m_stmt, col); }
    std::string Text(int col) {
        const void* p = sqlite3_column_blob(m_stmt, col);
        int n = sqlite3_column_bytes(m_stmt, col);
        return p ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n))
                 : std::string();
    }

private:
    Hive& m_hive;
    sqlite3_stmt* m_stmt;
};

}  // namespace zo::registry
