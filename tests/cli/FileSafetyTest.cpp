#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "app/cli/Commands.h"
#include "app/cli/ExitCode.h"
#include "cardsim/Nvram.h"
#include "platform/comm/ByteTrace.h"
#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"
#include "support/ProgramRun.h"
#include "support/TestStore.h"

using namespace zo::cli;

namespace {

int Command(std::vector<std::string> args, std::string* err = nullptr) {
    std::ostringstream out, e;
    int code = RunCommand(args, out, e);
    if (err) {
        *err = e.str();
    }
    return code;
}

unsigned Mode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0u;
}

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            names.emplace_back(e->d_name);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void SaveHome() {
    zo::store::RegistryKey key(zo::store::HKEY_LOCAL_MACHINE, zo::store::PccardPath());
    ASSERT_TRUE(zo::store::WriteProfile(key, {"Home", "s", "1", "2", "COM3", "115200", "8", "None",
                                              "1", "Hardware", "", "", false}));
}

}  // namespace

// An export replaces a regular file only; a link is followed and the file it names is
// replaced beside itself, and no temporary file is left behind.
TEST(ExportFile, FollowsLinksAndRefusesWhatIsNoRegularFile) {
    zo::test::TestStore store;
    SaveHome();
    const std::string dir = store.Dir() + "/out";
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    const std::string real = dir + "/real.reg", link = dir + "/link.reg";
    std::ofstream(real) << "old";
    ASSERT_EQ(::symlink("real.reg", link.c_str()), 0);
    ASSERT_EQ(Command({"export", link}), kExitOk);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    EXPECT_EQ(zo::test::Slurp(real).rfind("REGEDIT4\n", 0), 0u);

    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& target : {fifo, dir, std::string("/dev/null")}) {
        std::string err;
        EXPECT_EQ(Command({"export", target}, &err), kExitRefused) << target;
        EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
    }
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{".", "..", "fifo", "link.reg", "real.reg"}));
}

// An export that cannot be finished leaves the old file and no temporary file: neither
// when the write fails nor when a signal ends the program mid-write.
TEST(ExportFile, ACutShortExportLeavesNoTemporaryFile) {
    zo::test::TestStore store;
    for (int i = 0; i < 40; ++i) {
        zo::store::RegistryKey key(zo::store::HKEY_LOCAL_MACHINE, zo::store::PccardPath());
        ASSERT_TRUE(
            zo::store::WriteProfile(key, {"P" + std::to_string(i), "s", "1", "2", "COM3", "115200",
                                          "8", "None", "1", "Hardware", "", "", false}));
    }
    const std::string dir = store.Dir() + "/out", file = dir + "/kest.reg";
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    for (bool interrupted : {false, true}) {
        std::ofstream(file, std::ios::trunc) << "old";
        const pid_t pid = ::fork();
        if (pid == 0) {
            // The file size limit makes the write fail, or, with its signal left on, ends
            // the program in the middle of it.
            ::signal(SIGXFSZ, interrupted ? SIG_DFL : SIG_IGN);
            rlimit limit{512, 512};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::_exit(Command({"export", file}));
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        if (interrupted) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitRefused) << status;
        }
        EXPECT_EQ(zo::test::Slurp(file), "old") << interrupted;
        EXPECT_EQ(Entries(dir), (std::vector<std::string>{".", "..", "kest.reg"})) << interrupted;
    }
}

// The store must be a regular file: SQLite would leave a journal beside a device and wait
// on a FIFO.
TEST(StoreFile, ADeviceFifoOrDirectoryIsNoStore) {
    zo::test::TestStore store;
    const std::string fifo = store.Dir() + "/fifo.db";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, store.Dir(), std::string("/dev/null")}) {
        zo::registry::Hive hive(path);
        const zo::registry::Status opened = hive.Open();
        EXPECT_FALSE(opened.IsOk()) << path;
        EXPECT_NE(opened.Text().find(path), std::string::npos) << opened.Text();
    }
    EXPECT_EQ(Mode(fifo + "-journal"), 0u);
    EXPECT_EQ(Mode("/dev/null-journal"), 0u);
    zo::test::Outcome r = zo::test::RunProgram(
        std::string(ZO_CONFIG_BIN) + " --registry " + fifo + " profiles", store.Dir());
    EXPECT_EQ(r.code, kExitStore) << r.err;
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
}

// The store, the trace and the simulated card's memory hold the SPIDs: owner only, also
// when the file was there before with a looser mode.
TEST(PrivateFiles, AreCreatedOrTightenedToOwnerOnly) {
    zo::test::TestStore store;
    const mode_t old = ::umask(0);
    const std::string db = store.Dir() + "/old.db", trace = store.Dir() + "/trace",
                      memory = store.Dir() + "/card";
    for (const auto& path : {db, trace, memory}) {
        std::ofstream(path).close();
        ::chmod(path.c_str(), 0644);
    }
    zo::registry::Hive hive(db);
    EXPECT_TRUE(hive.Open().IsOk()) << hive.Open().Text();
    std::string error;
    EXPECT_NE(zo::comm::ByteTrace::Create(trace, &error), nullptr) << error;
    zo::cardsim::Nvram kept(memory);
    EXPECT_EQ(Mode(memory), 0600u) << "tightened when opened";
    const std::string fresh = store.Dir() + "/fresh-card";
    zo::cardsim::Nvram nvram(fresh);
    EXPECT_TRUE(nvram.Store({}));
    ::umask(old);
    EXPECT_EQ(Mode(db), 0600u);
    EXPECT_EQ(Mode(trace), 0600u);
    EXPECT_EQ(Mode(fresh), 0600u);
}

namespace {

constexpr uid_t kOtherUser = 65534;

// A directory everyone may write to, with the sticky bit, as /tmp.
std::string SharedDir(const zo::test::TestStore& store) {
    const std::string dir = store.Dir() + "/shared";
    EXPECT_EQ(::mkdir(dir.c_str(), 0700), 0);
    EXPECT_EQ(::chmod(dir.c_str(), 01777), 0);
    return dir;
}

}  // namespace

// A store or trace file another user put in a shared directory would let that user read
// the SPIDs: it is refused with the reason and left exactly as it was.
TEST(PrivateFiles, AnotherUsersFileIsRefusedAndLeftAsItWas) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can make a file of another user";
    }
    zo::test::TestStore store;
    const std::string dir = SharedDir(store);
    const std::string db = dir + "/registry.db", trace = dir + "/trace";
    for (const auto& path : {db, trace}) {
        std::ofstream(path) << "theirs";
        ASSERT_EQ(::chown(path.c_str(), kOtherUser, kOtherUser), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    }
    zo::registry::Hive hive(db);
    const zo::registry::Status opened = hive.Open();
    EXPECT_FALSE(opened.IsOk());
    EXPECT_NE(opened.Text().find("belongs to another user"), std::string::npos) << opened.Text();
    std::string error;
    EXPECT_EQ(zo::comm::ByteTrace::Create(trace, &error), nullptr);
    EXPECT_NE(error.find("belongs to another user"), std::string::npos) << error;
    for (const auto& path : {db, trace}) {
        EXPECT_EQ(zo::test::Slurp(path), "theirs") << path;
        EXPECT_EQ(Mode(path), 0666u) << path;
    }
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{".", "..", "registry.db", "trace"}));

    zo::test::Outcome r = zo::test::RunProgram(
        std::string(ZO_CONFIG_BIN) + " --registry " + db + " profiles", store.Dir());
    EXPECT_EQ(r.code, kExitStore) << r.err;
    EXPECT_NE(r.err.find("belongs to another user (uid 65534)"), std::string::npos) << r.err;
}

// Another user's link in a shared directory may point at any file of ours: an export, the
// store and the trace refuse to follow it, as the kernel's protected_symlinks would; our
// own link there is followed.
TEST(PrivateFiles, AnotherUsersLinkInASharedDirectoryIsNotFollowed) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can make a link of another user";
    }
    zo::test::TestStore store;
    SaveHome();
    const std::string dir = SharedDir(store);
    const std::string mine = store.Dir() + "/mine";
    std::ofstream(mine) << "mine";
    ::chmod(mine.c_str(), 0600);
    const std::string link = dir + "/kest.reg";
    ASSERT_EQ(::symlink(mine.c_str(), link.c_str()), 0);
    ASSERT_EQ(::lchown(link.c_str(), kOtherUser, kOtherUser), 0);

    std::string err;
    EXPECT_EQ(Command({"export", link}, &err), kExitRefused);
    EXPECT_NE(err.find("symbolic link of another user"), std::string::npos) << err;
    zo::registry::Hive hive(link);
    const zo::registry::Status opened = hive.Open();
    EXPECT_FALSE(opened.IsOk());
    EXPECT_NE(opened.Text().find("symbolic link of another user"), std::string::npos);
    std::string error;
    EXPECT_EQ(zo::comm::ByteTrace::Create(link, &error), nullptr);
    EXPECT_EQ(zo::test::Slurp(mine), "mine");
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{".", "..", "kest.reg"}));

    ASSERT_EQ(::lchown(link.c_str(), 0, 0), 0);
    EXPECT_EQ(Command({"export", link}, &err), kExitOk) << err;
    EXPECT_EQ(zo::test::Slurp(mine).rfind("REGEDIT4\n", 0), 0u);
}

// Only a file known to be a store is tightened: a text file, a script or another program's
// database given as the store keeps its mode, and so does a trace that cannot be written.
TEST(PrivateFiles, WhatIsNoStoreKeepsItsMode) {
    zo::test::TestStore store;
    const std::string text = store.Dir() + "/notes.txt", script = store.Dir() + "/run.sh",
                      other = store.Dir() + "/other.db";
    std::ofstream(text) << "some notes\n";
    std::ofstream(script) << "#!/bin/sh\necho hi\n";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(other.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const std::vector<std::pair<std::string, unsigned>> files{
        {text, 0644}, {script, 0755}, {other, 0644}};
    for (const auto& [path, mode] : files) {
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        zo::registry::Hive hive(path);
        EXPECT_FALSE(hive.Open().IsOk()) << path;
        EXPECT_EQ(Mode(path), mode) << path;
    }
    EXPECT_EQ(zo::test::Slurp(text), "some notes\n");
}
