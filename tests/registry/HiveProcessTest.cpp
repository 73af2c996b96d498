#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"
#include "support/TestStore.h"

using namespace zo::registry;
using namespace zo::store;

namespace {

// A second program that holds the store's write lock for `holdMs`, then commits.
pid_t HoldLock(const std::string& path, int holdMs, int readyFd) {
    pid_t pid = ::fork();
    if (pid == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        int rc = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
        char c = rc == SQLITE_OK ? '1' : '0';
        (void)!::write(readyFd, &c, 1);
        ::usleep(static_cast<useconds_t>(holdMs) * 1000);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        ::_exit(0);
    }
    return pid;
}

Profile Sample(const std::string& name) {
    return {name,         "National ISDN-1 (NI-1)",
            "5551234567", "55512345670101",
            "COM4",       "115200",
            "8",          "None",
            "1",          "Hardware",
            "",           "",
            false};
}

}  // namespace

TEST(HiveProcess, WriterWaitsForAnotherProgramsLockAndLosesNothing) {
    zo::test::TestStore store;
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    ASSERT_TRUE(WriteProfile(key, Sample("Before")));
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pid_t holder = HoldLock(store.Path(), 600, fds[1]);
    char ready = 0;
    ASSERT_EQ(::read(fds[0], &ready, 1), 1);
    ASSERT_EQ(ready, '1');
    EXPECT_TRUE(WriteProfile(key, Sample("During")));
    int status = 0;
    ::waitpid(holder, &status, 0);
    ::close(fds[0]);
    ::close(fds[1]);
    EXPECT_EQ(ListProfileNames().Value(), (std::vector<std::string>{"Before", "During"}));
    EXPECT_EQ(ReadProfile("During").Value().storedCount, 10u);
}

TEST(HiveProcess, LockHeldTooLongFailsCleanly) {
    zo::test::TestStore store;
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    ASSERT_TRUE(WriteProfile(key, Sample("Kept")));
    DefaultHive().SetBusyTimeoutMs(100);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pid_t holder = HoldLock(store.Path(), 3000, fds[1]);
    char ready = 0;
    ASSERT_EQ(::read(fds[0], &ready, 1), 1);
    EXPECT_FALSE(WriteProfile(key, Sample("Blocked")));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(fds[0]);
    ::close(fds[1]);
    EXPECT_EQ(ListProfileNames().Value(), std::vector<std::string>{"Kept"});
    EXPECT_EQ(ReadProfile("Kept").Value(), ReadProfile("Kept").Value());
    EXPECT_EQ(ReadProfile("Kept").Value().At(kLocation), "Kept");
}

// A profile saver killed at random moments: the store always opens, passes SQLite's
// integrity check, and every profile holds one whole save.
TEST(HiveProcess, SurvivesBeingKilledMidSave) {
    zo::test::TestStore store;
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> delayUs(500, 12000);
    auto check = [&](int round) {
        Hive reader(store.Path());
        const zo::registry::Status opened = reader.Open();
        ASSERT_TRUE(opened.IsOk()) << opened.Text();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(store.Path().c_str(), &db), SQLITE_OK);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
        ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok");
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        // Every key, also one without values: a killed save must not leave an empty key.
        RegistryKey pccard(HKEY_LOCAL_MACHINE, WithoutTrailingBackslash(PccardPath()));
        pccard.ReadSubkeys();
        for (const auto& name : pccard.Results()) {
            const Profile p = ReadProfile(name).Value();
            ASSERT_TRUE(p.storedCount == 10 || p.storedCount == 12) << name << " round " << round;
            EXPECT_EQ(p.At(kLocation), name);
            const std::string& g = p.At(kSwitch);
            for (std::size_t i = kSwitch; i < p.storedCount; ++i) {
                EXPECT_EQ(p.At(i), g) << name << " value " << i << " round " << round;
            }
            long generation = std::stol(g.substr(1));
            EXPECT_EQ(p.storedCount == 12, generation % 2 == 1) << name;
        }
        RegistryKey current(HKEY_LOCAL_MACHINE, WithoutTrailingBackslash(CurrentPath()));
        current.ReadSubkeys();
        EXPECT_LE(current.Results().size(), 1u);
    };
    int kills = 0;
    for (int round = 0; round < 220; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(ready[1], STDOUT_FILENO);
            ::execl(ZO_STORE_WRITER, ZO_STORE_WRITER, store.Path().c_str(), nullptr);
            ::_exit(127);
        }
        ASSERT_GT(pid, 0);
        ::close(ready[1]);
        // The kill lands at a random moment after the first save, not during start-up,
        // however slow start-up is (sanitizer builds).
        char byte = 0;
        pollfd p{ready[0], POLLIN, 0};
        bool started = ::poll(&p, 1, 30000) == 1 && ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        ::usleep(static_cast<useconds_t>(delayUs(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(started) << "writer never saved, status " << status;
        if (WIFSIGNALED(status)) {
            ++kills;
        } else {
            FAIL() << "writer ended by itself with status " << status;
        }
        check(round);
    }
    EXPECT_GE(kills, 200);
    check(-1);
    EXPECT_FALSE(ListProfileNames().Value().empty());
    // Read by tools/reliability.sh for the figures of docs/reliability.md.
    std::printf("[figure] crash-loop kills survived: %d\n", kills);
}
