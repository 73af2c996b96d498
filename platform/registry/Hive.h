#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/Status.h"
#include "platform/threads/OneThreadAtATime.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zo::files {
struct PrivateFile;
}

namespace zo::registry {

// A handle to an open key. Key ids are never reused, so a handle to a deleted key
// stays invalid even when a key of the same name is created again.
struct HKey {
    std::int64_t id = 0;
    friend bool operator==(HKey, HKey) = default;
};

inline constexpr HKey HKEY_LOCAL_MACHINE{1};

inline constexpr std::uint32_t REG_SZ = 1;

struct Value {
    std::string name;
    std::uint32_t type = REG_SZ;
    std::string data;  // for REG_SZ: the bytes including the counted terminating NUL
};

// The registry hive: keys under HKEY_LOCAL_MACHINE kept in one SQLite file.
// Every call is one transaction; a Batch groups several calls into one.
class Hive {
public:
    explicit Hive(std::string path);
    ~Hive();
    Hive(const Hive&) = delete;
    Hive& operator=(const Hive&) = delete;

    const std::string& Path() const { return m_path; }
    // Closes the file and works on `path` from the next call, as a hive just made on it
    // would, so that whoever holds this hive follows it to the new file.
    void Repoint(std::string path);
    // Opens the file if it is not open yet; Failed, with the reason, when it cannot be used
    // as a store.
    Status Open();
    // How long a call waits for another program's lock before it fails, on the clock seam.
    // Once a wait has run out, calls fail at once for as long again, so a command or an
    // action that meets a lock held for long waits this long in all, not once for each of
    // its calls. A wait the user would notice shows the wait cursor and is spent by the lock
    // wait in force (LockWait.h); a call made from inside it fails at once.
    void SetBusyTimeoutMs(int ms);

    Status CreateKey(HKey root, std::string_view path, HKey* out);
    Status OpenKey(HKey root, std::string_view path, HKey* out);
    Status DeleteKey(HKey root, std::string_view path);

    Status SetString(HKey key, std::string_view name, std::string_view text);
    Status DeleteValue(HKey key, std::string_view name);
    Status ListValues(HKey key, std::vector<Value>* out);
    Status ListSubkeys(HKey key, std::vector<std::string>* out);
    Status KeyName(HKey key, std::string* out);

    // Groups calls into one transaction: all of them land or none.
    class Batch {
    public:
        explicit Batch(Hive& hive);
        ~Batch();  // rolls back unless committed
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        bool Ok() const { return m_begun.IsOk(); }
        // Why the batch could not begin; Ok when it did.
        const Status& Begun() const { return m_begun; }
        Status Commit();

    private:
        Hive& m_hive;
        Status m_begun;
        bool m_done = false;
    };

    // A consistent read of several calls, without taking the write lock.
    class Snapshot {
    public:
        explicit Snapshot(Hive& hive);
        ~Snapshot();
        Snapshot(const Snapshot&) = delete;
        Snapshot& operator=(const Snapshot&) = delete;

    private:
        Hive& m_hive;
        bool m_owned = false;
    };

private:
    class Statement;
    struct NoticedWait;
    friend class Batch;
    friend class Snapshot;

    // Checks, in debug builds, that no other thread is inside while the result lives.
    threads::OneThreadScope UsedHere() {
        return threads::OneThreadScope(m_users, "the registry hive");
    }
    Status EnsureOpen();
    static int OnBusy(void* self, int count);
    // Tightens the file to its owner once it is known to be a store; closes it when it cannot.
    Status MadePrivate(const files::PrivateFile& file);
    void Close();
    Status Exec(const char* sql);
    sqlite3_stmt* Prepare(const char* sql);
    Status Fail(const char* what);
    Status BeginWrite();
    Status EndWrite(Status result);
    // One change to a value of `key` in a write transaction of its own (or the batch's):
    // the name's length and the key's existence checked first.
    Status ChangeValue(HKey key, std::string_view name, const std::function<Status()>& change);
    // Ok or NotFound; Failed when the store could not be asked, which is no answer.
    Status KeyExists(std::int64_t id);
    Status Lookup(std::int64_t parent, const std::string& name, std::int64_t* id);
    Status Resolve(HKey root, std::string_view path, bool create, HKey* out);

    std::string m_path;
    sqlite3* m_db = nullptr;
    static constexpr int kBusyMs = 15000;
    int m_busyMs = kBusyMs;
    std::chrono::steady_clock::time_point m_waitDeadline{};
    std::chrono::steady_clock::time_point m_noWaitUntil{};
    // From the moment a wait for another program's lock lasts until the statement that
    // waited returns.
    std::unique_ptr<NoticedWait> m_noticed;
    bool m_pausing = false;  // inside the lock wait's pause, which must not reach SQLite
    int m_depth = 0;         // nesting of write transactions
    bool m_doomed = false;   // a call inside the open transaction failed in SQLite
    Status m_doomedBy;       // and why, for the transaction's own result
    struct Cache;
    std::unique_ptr<Cache> m_cache;
    threads::OneThreadAtATime m_users;
};

// The default hive, a process-wide seam: the store the profile functions and
// store::RegistryKey work on when they are handed none. main() points it at the file chosen
// at program start (--registry, else a file in the user's data folder) and hands it to the
// windows; tests and the bench point it at scratch files. Default before that: a hive on
// the empty path, which cannot be opened, so every call fails. SetDefaultHivePath repoints
// the same hive, so a reference to it stays good. Threads: SetDefaultHivePath on the main
// thread while no other thread uses the hive and no call of it waits. A Hive has no lock, so one
// thread at a time: in the windows the user-interface thread, or the conversation worker while that
// thread waits for it (the applied save at the end of card programming). Debug builds abort on a
// second thread.
void SetDefaultHivePath(const std::string& path);
Hive& DefaultHive();

}  // namespace zo::registry
