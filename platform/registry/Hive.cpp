#include "platform/registry/Hive.h"

#include "platform/clock/Clock.h"
#include "platform/prompt/Prompter.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "platform/files/PrivateFile.h"
#include "platform/registry/KeyPath.h"
#include "platform/registry/LockWait.h"
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

const char* StatusText(Status s) {
    switch (s) {
        case Status::Ok:
            return "ok";
        case Status::NotFound:
            return res::Tr("not found");
        case Status::HasSubkeys:
            return res::Tr("the key has subkeys");
        case Status::InvalidName:
            return res::Tr("invalid name");
        case Status::TooLong:
            return res::Tr("name or path too long");
        case Status::Failed:
            return res::Tr("store failure");
    }
    return "unknown";
}

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
    int Step() {
        const int rc = sqlite3_step(m_stmt);
        m_hive.m_noticed.reset();
        return rc;
    }
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

Hive::Hive(std::string path) : m_path(std::move(path)), m_cache(std::make_unique<Cache>()) {}

Hive::~Hive() {
    Close();
}

void Hive::SetBusyTimeoutMs(int ms) {
    m_busyMs = ms;
    m_noWaitUntil = {};
}

// A wait the user notices: the wait cursor, and the lock wait told of its start and end.
struct Hive::NoticedWait {
    NoticedWait() : wait(CurrentLockWait()) { wait.Begin(); }
    ~NoticedWait() { wait.End(); }
    NoticedWait(const NoticedWait&) = delete;
    NoticedWait& operator=(const NoticedWait&) = delete;

    platform::WaitCursor cursor;
    LockWait& wait;
};

int Hive::OnBusy(void* self, int count) {
    auto* hive = static_cast<Hive*>(self);
    platform::Clock& clock = platform::CurrentClock();
    const auto now = clock.Now();
    const std::chrono::milliseconds budget(hive->m_busyMs);
    if (count == 0) {
        // A lock that outlasted one whole wait is not waited for again right away.
        if (now < hive->m_noWaitUntil) {
            return 0;
        }
        hive->m_waitDeadline = now + budget;
    }
    if (now >= hive->m_waitDeadline) {
        hive->m_noWaitUntil = now + budget;
        hive->m_noticed.reset();
        return 0;
    }
    const auto step =
        std::chrono::ceil<std::chrono::milliseconds>(std::min<platform::Clock::Duration>(
            std::chrono::milliseconds(count < 10 ? 5 : 25), hive->m_waitDeadline - now));
    if (!hive->m_noticed && count == 10) {
        hive->m_noticed = std::make_unique<NoticedWait>();
    }
    if (!hive->m_noticed) {
        clock.Sleep(step);
        return 1;
    }
    // The windows turn their loop here; whatever it reaches finds this hive refusing calls.
    hive->m_pausing = true;
    struct Resume {
        bool& pausing;
        ~Resume() { pausing = false; }
    } resume{hive->m_pausing};
    hive->m_noticed->wait.Pause(step);
    return 1;
}

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

bool Hive::EnsureOpen() {
    if (m_pausing) {
        // SQLite forbids using a connection from inside its own busy handler.
        m_lastError = res::Fill(
            res::Tr("%1: a call that waits for another program's lock is under way"), {m_path});
        return false;
    }
    if (m_db) {
        return true;
    }
    // A missing file is created private from the first byte; an existing one is opened
    // only when it is the user's own regular file (a FIFO is refused, not waited on), and
    // its mode stays as it is until it is known to be a store.
    files::PrivateFile file;
    if (!files::OpenPrivateFile(m_path, res::Tr("the store"), true, &file, &m_lastError)) {
        return false;
    }
    const UniqueFd held(file.fd);

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(m_path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        m_lastError = m_path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        return false;
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
        Fail(N_("cannot read the store"));
        Close();
        return false;
    }
    if (!SameFile(m_path, file.st)) {
        m_lastError =
            res::Fill(res::Tr("%1: replaced by another file while it was being opened"), {m_path});
        Close();
        return false;
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
        m_lastError = res::Fill(res::Tr("%1: not a zo-config store"), {m_path});
        Close();
        return false;
    }
    if (!MadePrivate(file)) {
        return false;
    }
    std::string init = std::string("BEGIN IMMEDIATE;") + kSchema +
                       "PRAGMA application_id=" + std::to_string(kApplicationId) + ";COMMIT;";
    if (!Exec(init.c_str())) {
        Exec("ROLLBACK");
        Close();
        return false;
    }
    return true;
}

bool Hive::MadePrivate(const files::PrivateFile& file) {
    // A store made before it was private (or copied in) holds the SPIDs too.
    if (!files::MakePrivate(file, m_path, &m_lastError)) {
        Close();
        return false;
    }
    return true;
}

bool Hive::Exec(const char* sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    m_noticed.reset();
    if (rc != SQLITE_OK) {
        m_lastError = m_path + ": " + (err ? err : "error");
        sqlite3_free(err);
        return false;
    }
    return true;
}

sqlite3_stmt* Hive::Prepare(const char* sql) {
    auto it = m_cache->statements.find(sql);
    if (it != m_cache->statements.end()) {
        return it->second;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        m_lastError = m_path + ": " + sqlite3_errmsg(m_db);
        return nullptr;
    }
    m_cache->statements.emplace(sql, stmt);
    return stmt;
}

Status Hive::Fail(const char* what) {
    m_lastError =
        m_path + ": " + res::Tr(what) + ": " + (m_db ? sqlite3_errmsg(m_db) : res::Tr("not open"));
    if (m_depth > 0) {
        m_doomed = true;
    }
    return Status::Failed;
}

Status Hive::BeginWrite() {
    if (!EnsureOpen()) {
        return Status::Failed;
    }
    if (m_depth == 0) {
        m_doomed = false;
        Statement begin(*this, "BEGIN IMMEDIATE");
        if (!begin || begin.Step() != SQLITE_DONE) {
            return Fail(N_("cannot lock the store"));
        }
    }
    ++m_depth;
    return Status::Ok;
}

Status Hive::EndWrite(Status result) {
    if (--m_depth > 0) {
        return result;
    }
    if (m_doomed || result == Status::Failed) {
        if (!sqlite3_get_autocommit(m_db)) {
            Exec("ROLLBACK");
        }
        m_doomed = false;
        return Status::Failed;
    }
    Statement commit(*this, "COMMIT");
    if (!commit || commit.Step() != SQLITE_DONE) {
        Status s = Fail(N_("cannot commit"));
        if (!sqlite3_get_autocommit(m_db)) {
            Exec("ROLLBACK");
        }
        return s;
    }
    return result;
}

bool Hive::KeyExists(std::int64_t id) {
    Statement q(*this, "SELECT 1 FROM keys WHERE id=?");
    if (!q) {
        return false;
    }
    q.Bind(1, id);
    return q.Step() == SQLITE_ROW;
}

Status Hive::Lookup(std::int64_t parent, const std::string& name, std::int64_t* id) {
    Statement q(*this, "SELECT id FROM keys WHERE parent=? AND folded=?");
    if (!q) {
        return Fail(N_("lookup"));
    }
    q.Bind(1, parent);
    q.Bind(2, FoldName(name));
    int rc = q.Step();
    if (rc == SQLITE_ROW) {
        *id = q.Int(0);
        return Status::Ok;
    }
    return rc == SQLITE_DONE ? Status::NotFound : Fail(N_("lookup"));
}

Status Hive::Resolve(HKey root, std::string_view path, bool create, HKey* out) {
    *out = HKey{};
    std::vector<std::string> names;
    switch (SplitKeyPath(path, &names)) {
        case PathError::TooLong:
            return Status::TooLong;
        case PathError::EmptyComponent:
            return Status::InvalidName;
        case PathError::None:
            break;
    }
    if (!EnsureOpen()) {
        return Status::Failed;
    }
    if (!KeyExists(root.id)) {
        return Status::NotFound;
    }
    // Walk what exists without taking the write lock; most opens find their key.
    std::int64_t id = root.id;
    std::size_t found = 0;
    for (; found < names.size(); ++found) {
        std::int64_t next = 0;
        Status s = Lookup(id, names[found], &next);
        if (s == Status::NotFound) {
            break;
        }
        if (s != Status::Ok) {
            return s;
        }
        id = next;
    }
    if (found == names.size()) {
        *out = HKey{id};
        return Status::Ok;
    }
    if (!create) {
        return Status::NotFound;
    }
    Status s = BeginWrite();
    if (s != Status::Ok) {
        return s;
    }
    // Walk again under the lock: another program may have changed the tree meanwhile.
    id = root.id;
    s = KeyExists(id) ? Status::Ok : Status::NotFound;
    for (std::size_t i = 0; s == Status::Ok && i < names.size(); ++i) {
        std::int64_t next = 0;
        s = Lookup(id, names[i], &next);
        if (s == Status::NotFound) {
            Statement ins(*this, "INSERT INTO keys(parent, name, folded) VALUES(?,?,?)");
            if (!ins) {
                s = Fail(N_("create key"));
                break;
            }
            ins.Bind(1, id);
            ins.Bind(2, names[i]);
            ins.Bind(3, FoldName(names[i]));
            if (ins.Step() != SQLITE_DONE) {
                s = Fail(N_("create key"));
                break;
            }
            next = sqlite3_last_insert_rowid(m_db);
            s = Status::Ok;
        }
        id = next;
    }
    s = EndWrite(s);
    if (s == Status::Ok) {
        *out = HKey{id};
    }
    return s;
}

Status Hive::CreateKey(HKey root, std::string_view path, HKey* out) {
    const threads::OneThreadScope inUse = UsedHere();
    return Resolve(root, path, true, out);
}

Status Hive::OpenKey(HKey root, std::string_view path, HKey* out) {
    const threads::OneThreadScope inUse = UsedHere();
    return Resolve(root, path, false, out);
}

Status Hive::DeleteKey(HKey root, std::string_view path) {
    const threads::OneThreadScope inUse = UsedHere();
    std::vector<std::string> names;
    switch (SplitKeyPath(path, &names)) {
        case PathError::TooLong:
            return Status::TooLong;
        case PathError::EmptyComponent:
            return Status::InvalidName;
        case PathError::None:
            break;
    }
    if (names.empty()) {
        return Status::InvalidName;
    }
    Status s = BeginWrite();
    if (s != Status::Ok) {
        return s;
    }
    std::int64_t id = root.id;
    s = KeyExists(id) ? Status::Ok : Status::NotFound;
    for (std::size_t i = 0; s == Status::Ok && i < names.size(); ++i) {
        s = Lookup(id, names[i], &id);
    }
    if (s == Status::Ok) {
        Statement kids(*this, "SELECT 1 FROM keys WHERE parent=? LIMIT 1");
        if (!kids) {
            s = Fail(N_("delete key"));
        } else {
            kids.Bind(1, id);
            int rc = kids.Step();
            s = rc == SQLITE_ROW    ? Status::HasSubkeys
                : rc == SQLITE_DONE ? Status::Ok
                                    : Fail(N_("delete key"));
        }
    }
    if (s == Status::Ok) {
        Statement dv(*this, "DELETE FROM vals WHERE key=?");
        Statement dk(*this, "DELETE FROM keys WHERE id=?");
        if (!dv || !dk) {
            s = Fail(N_("delete key"));
        } else {
            dv.Bind(1, id);
            dk.Bind(1, id);
            if (dv.Step() != SQLITE_DONE || dk.Step() != SQLITE_DONE) {
                s = Fail(N_("delete key"));
            }
        }
    }
    return EndWrite(s);
}

Status Hive::ChangeValue(HKey key, std::string_view name, const std::function<Status()>& change) {
    if (RegistryLength(name) > kMaxNameLength) {
        return Status::TooLong;
    }
    Status s = BeginWrite();
    if (s != Status::Ok) {
        return s;
    }
    s = KeyExists(key.id) ? change() : Status::NotFound;
    return EndWrite(s);
}

Status Hive::SetString(HKey key, std::string_view name, std::string_view text) {
    const threads::OneThreadScope inUse = UsedHere();
    return ChangeValue(key, name, [&] {
        std::string data(text);
        data.push_back('\0');
        // An overwrite updates in place so the value keeps its position in the listing.
        Statement up(
            *this,
            "INSERT INTO vals(key, name, folded, type, data) VALUES(?,?,?,?,?) "
            "ON CONFLICT(key, folded) DO UPDATE SET type=excluded.type, data=excluded.data");
        if (!up) {
            return Fail(N_("write value"));
        }
        up.Bind(1, key.id);
        up.Bind(2, name);
        up.Bind(3, FoldName(name));
        up.Bind(4, static_cast<std::int64_t>(REG_SZ));
        up.BindBlob(5, data);
        return up.Step() == SQLITE_DONE ? Status::Ok : Fail(N_("write value"));
    });
}

Status Hive::DeleteValue(HKey key, std::string_view name) {
    const threads::OneThreadScope inUse = UsedHere();
    return ChangeValue(key, name, [&] {
        Statement del(*this, "DELETE FROM vals WHERE key=? AND folded=?");
        if (!del) {
            return Fail(N_("delete value"));
        }
        del.Bind(1, key.id);
        del.Bind(2, FoldName(name));
        if (del.Step() != SQLITE_DONE) {
            return Fail(N_("delete value"));
        }
        return sqlite3_changes(m_db) == 0 ? Status::NotFound : Status::Ok;
    });
}

Status Hive::ListValues(HKey key, std::vector<Value>* out) {
    const threads::OneThreadScope inUse = UsedHere();
    out->clear();
    if (!EnsureOpen()) {
        return Status::Failed;
    }
    // One read transaction, so a listing never mixes two writers' states.
    bool own = m_depth == 0 && sqlite3_get_autocommit(m_db);
    if (own && !Exec("BEGIN")) {
        return Status::Failed;
    }
    Status s = Status::Ok;
    if (!KeyExists(key.id)) {
        s = Status::NotFound;
    } else {
        Statement q(*this, "SELECT name, type, data FROM vals WHERE key=? ORDER BY id");
        if (!q) {
            s = Fail(N_("list values"));
        } else {
            q.Bind(1, key.id);
            int rc;
            while ((rc = q.Step()) == SQLITE_ROW) {
                out->push_back(Value{q.Text(0), static_cast<std::uint32_t>(q.Int(1)), q.Text(2)});
            }
            if (rc != SQLITE_DONE) {
                out->clear();
                s = Fail(N_("list values"));
            }
        }
    }
    if (own) {
        Exec("COMMIT");
    }
    return s;
}

Status Hive::ListSubkeys(HKey key, std::vector<std::string>* out) {
    const threads::OneThreadScope inUse = UsedHere();
    out->clear();
    if (!EnsureOpen()) {
        return Status::Failed;
    }
    if (!KeyExists(key.id)) {
        return Status::NotFound;
    }
    Statement q(*this, "SELECT name FROM keys WHERE parent=? ORDER BY id");
    if (!q) {
        return Fail(N_("list keys"));
    }
    q.Bind(1, key.id);
    int rc;
    while ((rc = q.Step()) == SQLITE_ROW) {
        out->push_back(q.Text(0));
    }
    if (rc != SQLITE_DONE) {
        out->clear();
        return Fail(N_("list keys"));
    }
    return Status::Ok;
}

Status Hive::KeyName(HKey key, std::string* out) {
    const threads::OneThreadScope inUse = UsedHere();
    out->clear();
    if (!EnsureOpen()) {
        return Status::Failed;
    }
    Statement q(*this, "SELECT name FROM keys WHERE id=?");
    if (!q) {
        return Fail(N_("key name"));
    }
    q.Bind(1, key.id);
    int rc = q.Step();
    if (rc == SQLITE_ROW) {
        *out = q.Text(0);
        return Status::Ok;
    }
    return rc == SQLITE_DONE ? Status::NotFound : Fail(N_("key name"));
}

Hive::Batch::Batch(Hive& hive) : m_hive(hive) {
    const threads::OneThreadScope inUse = hive.UsedHere();
    m_ok = hive.BeginWrite() == Status::Ok;
}

Hive::Batch::~Batch() {
    const threads::OneThreadScope inUse = m_hive.UsedHere();
    if (m_ok && !m_done) {
        m_hive.m_doomed = true;
        m_hive.EndWrite(Status::Failed);
    }
}

Status Hive::Batch::Commit() {
    const threads::OneThreadScope inUse = m_hive.UsedHere();
    if (!m_ok || m_done) {
        return Status::Failed;
    }
    m_done = true;
    return m_hive.EndWrite(Status::Ok);
}

Hive::Snapshot::Snapshot(Hive& hive) : m_hive(hive) {
    const threads::OneThreadScope inUse = hive.UsedHere();
    if (hive.EnsureOpen() && sqlite3_get_autocommit(hive.m_db)) {
        m_owned = hive.Exec("BEGIN");
    }
}

Hive::Snapshot::~Snapshot() {
    const threads::OneThreadScope inUse = m_hive.UsedHere();
    if (m_owned && m_hive.m_db && !sqlite3_get_autocommit(m_hive.m_db)) {
        m_hive.Exec("COMMIT");
    }
}

namespace {
std::string& DefaultPath() {
    static std::string path;
    return path;
}
std::unique_ptr<Hive>& DefaultInstance() {
    static std::unique_ptr<Hive> hive;
    return hive;
}
}  // namespace

void SetDefaultHivePath(const std::string& path) {
    DefaultPath() = path;
    DefaultInstance() = std::make_unique<Hive>(path);
}

Hive& DefaultHive() {
    auto& hive = DefaultInstance();
    if (!hive) {
        hive = std::make_unique<Hive>(DefaultPath());
    }
    return *hive;
}

}  // namespace zo::registry
