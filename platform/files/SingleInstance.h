#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace zo::files {

// One copy of the windows per user and store: two copies would talk to one card at once.
// The copy holding a lock file is the running one; it listens on a Unix socket beside the
// lock for a later start asking it to raise its window. The lock is flock(2), so it ends
// with its holder: a crashed copy leaves files behind but never blocks the next start.

// The files that decide and find the running copy for one store.
struct InstancePlace {
    std::string lockPath;
    std::string socketPath;
};

// The place for `storePath`, named from the user id and a hash of the store's canonical
// path, in $XDG_RUNTIME_DIR when it is the user's private folder, else in a folder
// "zo-config-UID" made private under $TMPDIR or /tmp. False with the reason in `error`
// when no private folder can be had.
bool FindInstancePlace(const std::string& storePath, InstancePlace* place, std::string* error);

// The lock held by the running copy; released (its file removed first) with the object.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Result { Held, Taken, Failed };
    // Held: this object now holds the lock. Taken: a live process holds it.
    Result Acquire(const std::string& path, std::string* error);
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    std::string m_path;
};

// The running copy's end of the socket. Non-blocking; the socket file goes with the object.
class RaiseListener {
public:
    RaiseListener() = default;
    ~RaiseListener();
    RaiseListener(const RaiseListener&) = delete;
    RaiseListener& operator=(const RaiseListener&) = delete;

    // Listens on `path`, replacing a socket a crashed copy left there. Only the lock's
    // holder may call it.
    bool Listen(const std::string& path, std::string* error);
    // The descriptor to watch for a waiting request.
    int Fd() const { return m_fd; }
    // Takes the requests waiting now; for each request to raise, calls `raise` and then
    // answers it. Waits at most a moment for a request's bytes.
    void ServeWaiting(const std::function<void()>& raise);

private:
    int m_fd = -1;
    std::string m_path;
};

// Asks the copy listening on `socketPath` to raise its window; true once it answered.
// One attempt, bounded by `limit`.
bool AskToRaise(const std::string& socketPath, std::chrono::milliseconds limit);

// A start of the windows: First when this process took `lock`, Raised when the running
// copy raised its window, Unanswered when a live copy holds the lock but never answered
// within `limit` (it may still be starting, so its socket is tried again meanwhile).
enum class Claim { First, Raised, Unanswered, Failed };
Claim ClaimWindows(const InstancePlace& place, InstanceLock* lock, std::chrono::milliseconds limit,
                   std::string* error);

}  // namespace zo::files
