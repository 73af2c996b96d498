#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/clock/Clock.h"
#include "platform/prompt/Prompter.h"
#include "platform/registry/Hive.h"
#include "platform/registry/LockWait.h"
#include "support/TestStore.h"

using namespace zo::registry;

namespace {

class HiveTest : public ::testing::Test {
protected:
    zo::test::TestStore store;
    Hive& hive = DefaultHive();

    HKey Create(const std::string& path) {
        HKey k;
        EXPECT_EQ(hive.CreateKey(HKEY_LOCAL_MACHINE, path, &k), Status::Ok) << path;
        return k;
    }
    std::vector<std::string> Subkeys(HKey k) {
        std::vector<std::string> out;
        EXPECT_EQ(hive.ListSubkeys(k, &out), Status::Ok);
        return out;
    }
    std::vector<Value> Values(HKey k) {
        std::vector<Value> out;
        EXPECT_EQ(hive.ListValues(k, &out), Status::Ok);
        return out;
    }
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST_F(HiveTest, KeysAreCreatedWithParentsAndFoundWithoutRegardToCase) {
    HKey a = Create("SOFTWARE\\KEST\\PCCARD\\My Office");
    HKey b = Create("software\\kest\\pccard\\MY OFFICE\\");
    EXPECT_EQ(a, b);
    HKey pccard;
    ASSERT_EQ(hive.OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\", &pccard), Status::Ok);
    EXPECT_EQ(Subkeys(pccard), std::vector<std::string>{"My Office"});
    HKey missing;
    EXPECT_EQ(hive.OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", &missing), Status::NotFound);
    EXPECT_EQ(hive.OpenKey(HKEY_LOCAL_MACHINE, "", &missing), Status::Ok);
    EXPECT_EQ(missing, HKEY_LOCAL_MACHINE);
}

TEST_F(HiveTest, SubkeysAndValuesListInFirstCreatedOrderAndOverwriteKeepsPosition) {
    HKey root = Create("R");
    for (const char* name : {"zeta", "Alpha", "mid"}) {
        Create(std::string("R\\") + name);
    }
    EXPECT_EQ(Subkeys(root), (std::vector<std::string>{"zeta", "Alpha", "mid"}));

    ASSERT_EQ(hive.SetString(root, "b", "1"), Status::Ok);
    ASSERT_EQ(hive.SetString(root, "a", "2"), Status::Ok);
    ASSERT_EQ(hive.SetString(root, "B", "three"), Status::Ok);
    auto values = Values(root);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].name, "b");  // the case it was created with stays
    EXPECT_EQ(values[0].data, std::string("three\0", 6));
    EXPECT_EQ(values[0].type, REG_SZ);
    EXPECT_EQ(values[1].name, "a");

    // Deleting and recreating a value moves it to the end, as a new value.
    ASSERT_EQ(hive.DeleteValue(root, "B"), Status::Ok);
    EXPECT_EQ(hive.DeleteValue(root, "B"), Status::NotFound);
    ASSERT_EQ(hive.SetString(root, "b", ""), Status::Ok);
    values = Values(root);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[1].name, "b");
    EXPECT_EQ(values[1].data, std::string(1, '\0'));
}

TEST_F(HiveTest, KeyWithSubkeysIsNeverDeleted) {
    Create("SOFTWARE\\KEST\\PCCARD\\One");
    EXPECT_EQ(hive.DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\"), Status::HasSubkeys);
    EXPECT_EQ(hive.DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\\\"),
              Status::InvalidName);
    EXPECT_EQ(hive.DeleteKey(HKEY_LOCAL_MACHINE, ""), Status::InvalidName);
    EXPECT_EQ(hive.DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\one"), Status::Ok);
    EXPECT_EQ(hive.DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\one"), Status::NotFound);
    EXPECT_EQ(hive.DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD"), Status::Ok);
}

TEST_F(HiveTest, HandleOfADeletedKeyStaysInvalidAfterTheNameIsReused) {
    HKey old = Create("A\\B");
    ASSERT_EQ(hive.DeleteKey(HKEY_LOCAL_MACHINE, "A\\B"), Status::Ok);
    HKey fresh = Create("A\\B");
    EXPECT_NE(old, fresh);
    EXPECT_EQ(hive.SetString(old, "x", "y"), Status::NotFound);
    EXPECT_TRUE(Values(fresh).empty());
}

TEST_F(HiveTest, LimitsFailWholeAndNeverTruncate) {
    std::string name255(255, 'n');
    std::string path1023 = "P\\";
    while (path1023.size() + 101 <= 1023) {
        path1023 += std::string(100, 'k') + "\\";
    }
    path1023 += std::string(1023 - path1023.size(), 'z');
    ASSERT_EQ(path1023.size(), 1023u);
    HKey k;
    EXPECT_EQ(hive.CreateKey(HKEY_LOCAL_MACHINE, path1023, &k), Status::Ok);
    EXPECT_EQ(hive.CreateKey(HKEY_LOCAL_MACHINE, path1023 + "z", &k), Status::TooLong);
    EXPECT_EQ(hive.CreateKey(HKEY_LOCAL_MACHINE, "Q\\" + name255, &k), Status::Ok);
    EXPECT_EQ(hive.CreateKey(HKEY_LOCAL_MACHINE, "Q\\" + name255 + "x", &k), Status::TooLong);
    EXPECT_EQ(hive.CreateKey(HKEY_LOCAL_MACHINE, "Q\\\\R", &k), Status::InvalidName);
    HKey q = Create("Q");
    EXPECT_EQ(Subkeys(q), std::vector<std::string>{name255});
    EXPECT_EQ(hive.SetString(q, name255 + "x", "v"), Status::TooLong);
    // Values come back whole, however long.
    std::string big(100000, 'v');
    ASSERT_EQ(hive.SetString(q, name255, big), Status::Ok);
    EXPECT_EQ(Values(q)[0].data, big + '\0');
}

TEST_F(HiveTest, FileIsPrivateToItsOwner) {
    Create("X");
    struct stat st {};
    ASSERT_EQ(::stat(store.Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(HiveTest, BatchLandsWholeOrNotAtAll) {
    HKey k = Create("B");
    {
        Hive::Batch batch(hive);
        ASSERT_TRUE(batch.Ok());
        ASSERT_EQ(hive.SetString(k, "one", "1"), Status::Ok);
        HKey child;
        ASSERT_EQ(hive.CreateKey(k, "child", &child), Status::Ok);
    }  // not committed
    EXPECT_TRUE(Values(k).empty());
    EXPECT_TRUE(Subkeys(k).empty());
    {
        Hive::Batch batch(hive);
        ASSERT_EQ(hive.SetString(k, "one", "1"), Status::Ok);
        EXPECT_EQ(hive.SetString(k, std::string(300, 'x'), "refused"), Status::TooLong);
        EXPECT_EQ(batch.Commit(), Status::Ok);
    }
    EXPECT_EQ(Values(k).size(), 1u);
}

// A wait for another program's lock shows the wait cursor until the call that waited ends,
// and not at all for a lock that is gone at once.
TEST_F(HiveTest, AWaitForAnotherProgramsLockShowsTheWaitCursor) {
    struct CursorWatch : zo::platform::Prompter {
        zo::platform::Answer Ask(const std::string&, zo::platform::Buttons, zo::platform::Icon,
                                 const std::string&) override {
            return zo::platform::Answer::Ok;
        }
        void BeginWaitCursor() override { ++begun, ++depth; }
        void EndWaitCursor() override { --depth; }
        int begun = 0, depth = 0;
    } watch;
    zo::platform::SetPrompter(&watch);
    HKey k = Create("SOFTWARE\\KEST\\PCCARD\\Home");
    EXPECT_EQ(watch.begun, 0) << "no lock, no cursor";

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(store.Path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    hive.SetBusyTimeoutMs(300);
    EXPECT_NE(hive.SetString(k, "Location", "Home"), Status::Ok);
    EXPECT_EQ(watch.begun, 1);
    EXPECT_EQ(watch.depth, 0) << "the cursor goes with the call";
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    hive.SetBusyTimeoutMs(15000);
    EXPECT_EQ(hive.SetString(k, "Location", "Home"), Status::Ok);
    EXPECT_EQ(watch.depth, 0);
    zo::platform::SetPrompter(nullptr);
}

// A wait the user would notice is handed to the lock wait in force and timed on the clock
// seam: 15 s in all, then the call fails. A call made from inside a pause (the windows turn
// their loop there) is refused at once and leaves the wait as it was; a lock released
// meanwhile lets the waiting call land.
TEST_F(HiveTest, ANoticedWaitGoesToTheLockWaitAndRefusesCallsFromInside) {
    zo::platform::VirtualClock clock;
    zo::platform::SetClock(&clock);
    struct Watch : LockWait {
        explicit Watch(zo::platform::Clock& c) : clock(c) {}
        void Begin() override { ++begun; }
        void End() override { ++ended; }
        void Pause(std::chrono::milliseconds slice) override {
            ++pauses;
            depth = std::max(depth, ++inside);
            clock.Sleep(slice);
            if (during) {
                during();
            }
            --inside;
        }
        zo::platform::Clock& clock;
        std::function<void()> during;
        int begun = 0, ended = 0, pauses = 0, inside = 0, depth = 0;
    } watch(clock);
    SetLockWait(&watch);
    struct Restore {
        ~Restore() {
            SetLockWait(nullptr);
            zo::platform::SetClock(nullptr);
        }
    } restore;
    HKey k = Create("SOFTWARE\\KEST\\PCCARD\\Home");

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(store.Path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::vector<Status::Code> inner;
    auto insideStillOn = std::chrono::milliseconds(0);
    watch.during = [&] {
        if (watch.pauses != 1) {
            return;
        }
        const auto before = clock.Now();
        std::vector<std::string> names;
        inner.push_back(hive.ListSubkeys(HKEY_LOCAL_MACHINE, &names).code());
        inner.push_back(hive.SetString(k, "Location", "Elsewhere").code());
        Hive::Batch batch(hive);
        inner.push_back(batch.Ok() ? Status::Ok : Status::Failed);
        insideStillOn = std::chrono::duration_cast<std::chrono::milliseconds>(clock.Now() - before);
    };
    const auto start = clock.Now();
    EXPECT_EQ(hive.SetString(k, "Location", "Home"), Status::Failed);
    EXPECT_EQ(clock.Now() - start, std::chrono::seconds(15));
    EXPECT_EQ(inner, std::vector<Status::Code>(3, Status::Failed));
    EXPECT_EQ(insideStillOn.count(), 0) << "a call from inside the pause waited";
    EXPECT_EQ(watch.depth, 1);
    EXPECT_EQ(watch.begun, 1);
    EXPECT_EQ(watch.ended, 1);
    // The first 50 ms are short pauses of the hive's own; the rest is the lock wait's.
    EXPECT_EQ(watch.pauses, (15000 - 50) / 25);

    hive.SetBusyTimeoutMs(15000);
    watch.during = [&] {
        if (watch.pauses == 3) {
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    };
    watch.pauses = 0;
    EXPECT_EQ(hive.SetString(k, "Location", "Home"), Status::Ok);
    EXPECT_EQ(watch.pauses, 3);
    EXPECT_EQ(watch.ended, 2);
    ASSERT_EQ(Values(k).size(), 1u);
    EXPECT_EQ(Values(k)[0].data, std::string("Home", 5));
    sqlite3_close(other);
}

TEST(HiveFile, DamagedOrForeignFileIsReportedAndLeftAsItIs) {
    zo::test::TestStore store;
    const std::string garbage = "this is not a database, just some bytes \x01\x02\x03";
    { std::ofstream(store.Path(), std::ios::binary) << garbage << std::string(5000, 'x'); }
    const std::string before = ReadAll(store.Path());
    Hive& hive = DefaultHive();
    HKey k;
    EXPECT_FALSE(hive.Open().IsOk());
    const Status created = hive.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST", &k);
    EXPECT_EQ(created, Status::Failed);
    EXPECT_NE(created.Text().find(store.Path()), std::string::npos);
    EXPECT_EQ(ReadAll(store.Path()), before);

    // A healthy SQLite database of some other program is not ours either.
    const std::string other = store.Dir() + "/other.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(other.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    Hive foreign(other);
    EXPECT_FALSE(foreign.Open().IsOk());
    EXPECT_EQ(foreign.CreateKey(HKEY_LOCAL_MACHINE, "X", &k), Status::Failed);
}

// Pointing the default hive at another file keeps the object: whoever was handed it works
// on the new file, and the old one is left as it was.
TEST(HiveFile, RepointingTheDefaultKeepsWhoHoldsItOnIt) {
    zo::test::TestStore first;
    Hive& held = DefaultHive();
    HKey k;
    ASSERT_EQ(held.CreateKey(HKEY_LOCAL_MACHINE, "A", &k), Status::Ok);
    {
        zo::test::TestStore second;
        ASSERT_EQ(&DefaultHive(), &held);
        EXPECT_EQ(held.Path(), second.Path());
        EXPECT_EQ(held.OpenKey(HKEY_LOCAL_MACHINE, "A", &k), Status::NotFound);
        EXPECT_EQ(held.CreateKey(HKEY_LOCAL_MACHINE, "B", &k), Status::Ok);
    }
    EXPECT_EQ(held.CreateKey(HKEY_LOCAL_MACHINE, "C", &k), Status::Failed) << "the empty path";
    Hive old(first.Path());
    EXPECT_EQ(old.OpenKey(HKEY_LOCAL_MACHINE, "A", &k), Status::Ok);
    EXPECT_EQ(old.OpenKey(HKEY_LOCAL_MACHINE, "B", &k), Status::NotFound);
}

TEST(HiveFile, ReadOnlyStoreReadsButRefusesWrites) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root ignores file modes";
    }
    zo::test::TestStore store;
    HKey k;
    ASSERT_EQ(DefaultHive().CreateKey(HKEY_LOCAL_MACHINE, "R", &k), Status::Ok);
    ASSERT_EQ(::chmod(store.Path().c_str(), 0400), 0);
    Hive ro(store.Path());
    EXPECT_EQ(ro.OpenKey(HKEY_LOCAL_MACHINE, "R", &k), Status::Ok);
    EXPECT_EQ(ro.SetString(k, "v", "x"), Status::Failed);
}
