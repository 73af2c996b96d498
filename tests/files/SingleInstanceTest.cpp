#include "platform/files/SingleInstance.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using zo::files::AskToRaise;
using zo::files::Claim;
using zo::files::ClaimWindows;
using zo::files::FindInstancePlace;
using zo::files::InstanceLock;
using zo::files::InstancePlace;
using zo::files::RaiseListener;

namespace {

// A private runtime folder of the test's own, put in XDG_RUNTIME_DIR for its time. It is made
// under /tmp, not the build tree's scratch folder: a socket's path may not exceed 107 bytes,
// and a runtime folder deep in a build tree would be passed over for being too long.
class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = "/tmp/zo-instance-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        fs::create_directory(Runtime());
        ::chmod(Runtime().c_str(), 0700);
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        m_hadRuntime = old != nullptr;
        m_oldRuntime = old ? old : "";
        ::setenv("XDG_RUNTIME_DIR", Runtime().c_str(), 1);
        std::string error;
        ASSERT_TRUE(FindInstancePlace(Store(), &m_place, &error)) << error;
    }
    void TearDown() override {
        if (m_hadRuntime) {
            ::setenv("XDG_RUNTIME_DIR", m_oldRuntime.c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    fs::path Runtime() const { return m_root / "run"; }
    std::string Store() const { return (m_root / "store.db").string(); }

    // Serves requests on `listener` until `stop`, counting the raises.
    std::thread Serve(RaiseListener& listener, std::atomic<int>& raises, std::atomic<bool>& stop) {
        return std::thread([&listener, &raises, &stop] {
            while (!stop) {
                pollfd p{listener.Fd(), POLLIN, 0};
                if (::poll(&p, 1, 20) > 0) {
                    listener.ServeWaiting([&raises] { ++raises; });
                }
            }
        });
    }

    fs::path m_root;
    InstancePlace m_place;
    bool m_hadRuntime = false;
    std::string m_oldRuntime;
};

TEST_F(SingleInstance, OnePlacePerStoreHoweverNamedInThePrivateRuntimeFolder) {
    fs::create_directory(m_root / "sub");
    fs::create_directory_symlink(m_root, m_root / "link");
    std::string error;
    for (const fs::path& spelling :
         {m_root / "sub" / ".." / "store.db", m_root / "link" / "store.db"}) {
        InstancePlace same;
        ASSERT_TRUE(FindInstancePlace(spelling.string(), &same, &error)) << error;
        EXPECT_EQ(same.lockPath, m_place.lockPath) << spelling;
        EXPECT_EQ(same.socketPath, m_place.socketPath) << spelling;
    }
    InstancePlace other;
    ASSERT_TRUE(FindInstancePlace((m_root / "other.db").string(), &other, &error));
    EXPECT_NE(other.lockPath, m_place.lockPath);
    EXPECT_EQ(fs::path(m_place.lockPath).parent_path(), Runtime());
    EXPECT_NE(m_place.lockPath.find("-" + std::to_string(::geteuid()) + "-"), std::string::npos);

    // A runtime folder others may enter is not used: a private one under TMPDIR is.
    ::chmod(Runtime().c_str(), 0755);
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp ? oldTmp : "";
    // A short TMPDIR, for the same reason as the runtime folder.
    std::string shortTmp = "/tmp/zoi-XXXXXX";
    ASSERT_NE(::mkdtemp(shortTmp.data()), nullptr);
    ::setenv("TMPDIR", shortTmp.c_str(), 1);
    InstancePlace fallback;
    const bool found = FindInstancePlace(Store(), &fallback, &error);
    oldTmp ? ::setenv("TMPDIR", savedTmp.c_str(), 1) : ::unsetenv("TMPDIR");
    const fs::path folder = fs::path(fallback.lockPath).parent_path();
    struct stat st {};
    const bool made = ::stat(folder.c_str(), &st) == 0;
    std::error_code ec;
    fs::remove_all(shortTmp, ec);
    ASSERT_TRUE(found) << error;
    EXPECT_EQ(folder, fs::path(shortTmp) / ("zo-config-" + std::to_string(::geteuid())));
    ASSERT_TRUE(made);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(SingleInstance, SecondStartHasTheFirstRaiseItsWindow) {
    std::string error;
    InstanceLock first;
    ASSERT_EQ(ClaimWindows(m_place, &first, 1s, &error), Claim::First) << error;
    RaiseListener listener;
    ASSERT_TRUE(listener.Listen(m_place.socketPath, &error)) << error;
    std::atomic<int> raises{0};
    std::atomic<bool> stop{false};
    std::thread server = Serve(listener, raises, stop);

    InstanceLock second;
    EXPECT_EQ(ClaimWindows(m_place, &second, 10s, &error), Claim::Raised);
    EXPECT_FALSE(second.Held());
    EXPECT_EQ(ClaimWindows(m_place, &second, 10s, &error), Claim::Raised);
    // Bytes that are no request to raise are dropped unanswered.
    const int stray = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, m_place.socketPath.c_str());
    ASSERT_EQ(::connect(stray, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::write(stray, "lower\n", 6), 6);
    char answer[16];
    EXPECT_EQ(::read(stray, answer, sizeof answer), 0);
    ::close(stray);
    stop = true;
    server.join();
    EXPECT_EQ(raises, 2);
}

TEST_F(SingleInstance, SecondStartWaitsForAFirstThatIsStillStarting) {
    std::string error;
    InstanceLock first;
    ASSERT_EQ(first.Acquire(m_place.lockPath, &error), InstanceLock::Result::Held) << error;
    RaiseListener listener;
    std::atomic<int> raises{0};
    std::atomic<bool> stop{false};
    std::thread late([&] {
        std::this_thread::sleep_for(300ms);
        std::string e;
        ASSERT_TRUE(listener.Listen(m_place.socketPath, &e)) << e;
        Serve(listener, raises, stop).join();
    });
    InstanceLock second;
    EXPECT_EQ(ClaimWindows(m_place, &second, 20s, &error), Claim::Raised);
    stop = true;
    late.join();
    EXPECT_EQ(raises, 1);

    // A holder that never listens is reported, not waited on for ever, nor run beside.
    InstanceLock silent;
    ASSERT_EQ(silent.Acquire((m_root / "other.lock").string(), &error), InstanceLock::Result::Held);
    InstanceLock third;
    EXPECT_EQ(ClaimWindows({(m_root / "other.lock").string(), (m_root / "other.sock").string()},
                           &third, 200ms, &error),
              Claim::Unanswered);
    EXPECT_FALSE(third.Held());
}

TEST_F(SingleInstance, AKilledFirstCopyBlocksNothing) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string error;
        InstanceLock lock;
        RaiseListener listener;
        if (lock.Acquire(m_place.lockPath, &error) == InstanceLock::Result::Held &&
            listener.Listen(m_place.socketPath, &error)) {
            (void)!::write(ready[1], "r", 1);
        }
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the child did not take the lock";
    ::close(ready[0]);
    std::string error;
    InstanceLock probe;
    EXPECT_EQ(probe.Acquire(m_place.lockPath, &error), InstanceLock::Result::Taken);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    // Its files stay; a request to its socket fails at once, and the lock is free.
    ASSERT_TRUE(fs::exists(m_place.lockPath));
    ASSERT_TRUE(fs::exists(m_place.socketPath));
    EXPECT_FALSE(AskToRaise(m_place.socketPath, 5s));
    InstanceLock next;
    EXPECT_EQ(ClaimWindows(m_place, &next, 5s, &error), Claim::First) << error;
    RaiseListener listener;
    ASSERT_TRUE(listener.Listen(m_place.socketPath, &error)) << error;
    std::atomic<int> raises{0};
    std::atomic<bool> stop{false};
    std::thread server = Serve(listener, raises, stop);
    EXPECT_TRUE(AskToRaise(m_place.socketPath, 10s));
    stop = true;
    server.join();
    EXPECT_EQ(raises, 1);
}

TEST_F(SingleInstance, ACopyThatEndsTakesItsFilesAndTheLockAlong) {
    std::string error;
    {
        InstanceLock lock;
        ASSERT_EQ(ClaimWindows(m_place, &lock, 1s, &error), Claim::First);
        RaiseListener listener;
        ASSERT_TRUE(listener.Listen(m_place.socketPath, &error));
    }
    EXPECT_FALSE(fs::exists(m_place.lockPath));
    EXPECT_FALSE(fs::exists(m_place.socketPath));
    InstanceLock again;
    EXPECT_EQ(ClaimWindows(m_place, &again, 1s, &error), Claim::First);
}

}  // namespace
