// Opening the store's file: only the user's own regular file, checked to be a store (or
// empty, then made one), private before anything is written to it.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/files/PrivateFile.h"
#include "platform/registry/Hive.h"
#include "platform/registry/HiveStatement.h"
#include "res/Translation.h"

namespace zo::registry {
namespace {

// Marks files written by this program, so a foreign SQLite database is never taken for a hive.
constexpr int kApplicationId = 0x5A4F4346;

const char* const kSchema =
    "CREATE TABLE keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER,"
    " name TEXT NOT NULL, folded TEXT NOT NULL, UNIQUE(parent, folded));"
    "CREATE TABLE vals(id INTEGER PRIMARY KEY AUTOINCREMENT, key INTEGER NOT NULL,"
    " name TEXT NOT NULL, folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " UNIQUE(key, folded));"
    "CREATE INDEX keys_by_parent ON keys(parent, id);"
    "CREATE INDEX vals_by_key ON vals(key, id);"
    "INSERT INTO keys(id, parent, name, folded) VALUES(1, NULL, 'HKEY_LOCAL_MACHINE', '');";

class UniqueFd {
public:
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { ::close(m_fd); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

private:
    int m_fd;
};

// Whether `path` still names the file that was checked before SQLite opened it by name.
bool SameFile(const std::string& path, const struct stat& checked) {
    struct stat now {};
    return ::stat(path.c_str(), &now) == 0 && now.st_dev == checked.st_dev &&
           now.st_ino == checked.st_ino;
}

}  // namespace

void Hive::Close() {
    for (auto& [sql, stmt] : m_cache->statements) {
        sqlite3_finalize(stmt);
    }
    m_cache->statements.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_depth = 0;
    m_doomed = false;
}

Status Hive::Open() {
    const threads::OneThreadScope inUse = UsedHere();
    return EnsureOpen();
}

Status Hive::EnsureOpen() {
    if (m_pausing) {
        // SQLite forbids using a connection from inside its own busy handler.
        return {Status::Failed,
                res::Fill(res::Tr("%1: a call that waits for another program's lock is under way"),
                          {m_path})};
    }
    if (m_db) {
        return Status::Ok;
    }
    // A missing file is created private from the first byte; an existing one is opened
    // only when it is the user's own regular file (a FIFO is refused, not waited on), and
    // its mode stays as it is until it is known to be a store.
    files::PrivateFile file;
    std::string error;
    if (!files::OpenPrivateFile(m_path, res::Tr("the store"), true, &file, &error)) {
        return {Status::Failed, error};
    }
    const UniqueFd held(file.fd);

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(m_path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        Status failed{Status::Failed,
                      m_path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc))};
        sqlite3_close_v2(db);
        return failed;
    }
    m_db = db;
    sqlite3_busy_handler(m_db, &Hive::OnBusy, this);
    sqlite3_extended_result_codes(m_db, 1);

    // Reading the schema catches a damaged file before anything is written to it.
    int tables = -1;
    int appId = -1;
    {
        Statement q(
            *this,
            "SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN ('keys','vals')");
        if (q && q.Step() == SQLITE_ROW) {
            tables = static_cast<int>(q.Int(0));
        }
    }
    {
        Statement q(*this, "PRAGMA application_id");
        if (q && q.Step() == SQLITE_ROW) {
            appId = static_cast<int>(q.Int(0));
        }
    }
    if (tables < 0 || appId < 0) {
        Status failed = Fail(N_("cannot read the store"));
        Close();
        return failed;
    }
    if (!SameFile(m_path, file.st)) {
        Close();
        return {
            Status::Failed,
            res::Fill(res::Tr("%1: replaced by another file while it was being opened"), {m_path})};
    }
    if (tables == 2 && appId == kApplicationId) {
        return MadePrivate(file);
    }
    bool empty = false;
    {
        Statement any(*this, "SELECT count(*) FROM sqlite_master");
        empty = any && any.Step() == SQLITE_ROW && any.Int(0) == 0;
    }
    if (!empty || appId != 0) {
        Close();
        return {Status::Failed, res::Fill(res::Tr("%1: not a zo-config store"), {m_path})};
    }
    if (Status s = MadePrivate(file); !s.IsOk()) {
        return s;
    }
    std::string init = std::string("BEGIN IMMEDIATE;") + kSchema +
                       "PRAGMA application_id=" + std::to_string(kApplicationId) + ";COMMIT;";
    if (Status s = Exec(init.c_str()); !s.IsOk()) {
        Exec("ROLLBACK");
        Close();
        return s;
    }
    return Status::Ok;
}

Status Hive::MadePrivate(const files::PrivateFile& file) {
    // A store made before it was private (or copied in) holds the SPIDs too.
    std::string error;
    if (!files::MakePrivate(file, m_path, &error)) {
        Close();
        return {Status::Failed, error};
    }
    return Status::Ok;
}

}  // namespace zo::registry
