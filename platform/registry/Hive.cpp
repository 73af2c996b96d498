#include "platform/registry/Hive.h"

#include "platform/clock/Clock.h"
#include "platform/prompt/Prompter.h"

#include <sqlite3.h>

#include <algorithm>
#include <functional>

#include "platform/registry/HiveStatement.h"
#include "platform/registry/KeyPath.h"
#include "platform/registry/LockWait.h"
#include "res/Translation.h"

namespace zo::registry {

const char* StatusText(Status::Code c) {
    switch (c) {
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

std::string Status::Text() const {
    return m_reason.empty() ? StatusText(m_code) : m_reason;
}

int Hive::Statement::Step() {
    const int rc = sqlite3_step(m_stmt);
    m_hive.m_noticed.reset();
    return rc;
}

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

void Hive::Repoint(std::string path) {
    const threads::OneThreadScope inUse = UsedHere();
    Close();
    m_path = std::move(path);
    m_busyMs = kBusyMs;
    m_waitDeadline = {};
    m_noWaitUntil = {};
    m_noticed.reset();
    m_pausing = false;
    m_doomedBy = {};
}

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

Status Hive::Exec(const char* sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    m_noticed.reset();
    if (rc != SQLITE_OK) {
        Status failed{Status::Failed, m_path + ": " + (err ? err : "error")};
        sqlite3_free(err);
        return failed;
    }
    return Status::Ok;
}

sqlite3_stmt* Hive::Prepare(const char* sql) {
    auto it = m_cache->statements.find(sql);
    if (it != m_cache->statements.end()) {
        return it->second;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        return nullptr;  // the caller's Fail gives SQLite's reason
    }
    m_cache->statements.emplace(sql, stmt);
    return stmt;
}

Status Hive::Fail(const char* what) {
    Status failed{Status::Failed, m_path + ": " + res::Tr(what) + ": " +
                                      (m_db ? sqlite3_errmsg(m_db) : res::Tr("not open"))};
    if (m_depth > 0 && !m_doomed) {
        m_doomed = true;
        m_doomedBy = failed;
    }
    return failed;
}

Status Hive::BeginWrite() {
    if (Status s = EnsureOpen(); !s.IsOk()) {
        return s;
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
        // A batch dropped unfinished dooms it with no reason of its own.
        const Status failed = result == Status::Failed       ? result
                              : m_doomedBy == Status::Failed ? m_doomedBy
                                                             : Status(Status::Failed);
        m_doomed = false;
        m_doomedBy = Status::Ok;
        return failed;
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

Status Hive::KeyExists(std::int64_t id) {
    Statement q(*this, "SELECT 1 FROM keys WHERE id=?");
    if (!q) {
        return Fail(N_("lookup"));
    }
    q.Bind(1, id);
    const int rc = q.Step();
    return rc == SQLITE_ROW    ? Status::Ok
           : rc == SQLITE_DONE ? Status::NotFound
                               : Fail(N_("lookup"));
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
    if (Status s = EnsureOpen(); !s.IsOk()) {
        return s;
    }
    if (Status s = KeyExists(root.id); !s.IsOk()) {
        return s;
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
    s = KeyExists(id);
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
    s = KeyExists(id);
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
    s = KeyExists(key.id);
    if (s.IsOk()) {
        s = change();
    }
    return EndWrite(s);
}

Status Hive::SetString(HKey key, std::string_view name, std::string_view text) {
    const threads::OneThreadScope inUse = UsedHere();
    return ChangeValue(key, name, [&]() -> Status {
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
    return ChangeValue(key, name, [&]() -> Status {
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
    if (Status s = EnsureOpen(); !s.IsOk()) {
        return s;
    }
    // One read transaction, so a listing never mixes two writers' states.
    bool own = m_depth == 0 && sqlite3_get_autocommit(m_db);
    if (own) {
        if (Status s = Exec("BEGIN"); !s.IsOk()) {
            return s;
        }
    }
    Status s = KeyExists(key.id);
    if (s.IsOk()) {
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
    if (Status s = EnsureOpen(); !s.IsOk()) {
        return s;
    }
    if (Status s = KeyExists(key.id); !s.IsOk()) {
        return s;
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
    if (Status s = EnsureOpen(); !s.IsOk()) {
        return s;
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
    m_begun = hive.BeginWrite();
}

Hive::Batch::~Batch() {
    const threads::OneThreadScope inUse = m_hive.UsedHere();
    if (m_begun.IsOk() && !m_done) {
        m_hive.m_doomed = true;
        m_hive.EndWrite(Status::Failed);
    }
}

Status Hive::Batch::Commit() {
    const threads::OneThreadScope inUse = m_hive.UsedHere();
    if (!m_begun.IsOk()) {
        return m_begun;
    }
    if (m_done) {
        return Status::Failed;
    }
    m_done = true;
    return m_hive.EndWrite(Status::Ok);
}

Hive::Snapshot::Snapshot(Hive& hive) : m_hive(hive) {
    const threads::OneThreadScope inUse = hive.UsedHere();
    if (hive.EnsureOpen().IsOk() && sqlite3_get_autocommit(hive.m_db)) {
        m_owned = hive.Exec("BEGIN").IsOk();
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
    if (auto& hive = DefaultInstance()) {
        hive->Repoint(path);
    } else {
        hive = std::make_unique<Hive>(path);
    }
}

Hive& DefaultHive() {
    auto& hive = DefaultInstance();
    if (!hive) {
        hive = std::make_unique<Hive>(DefaultPath());
    }
    return *hive;
}

}  // namespace zo::registry
