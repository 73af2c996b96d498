#include <gtest/gtest.h>

#include <linux/capability.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>

#include <fstream>
#include <iterator>

#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"
#include "support/TestStore.h"

using namespace zo::store;

namespace {

Profile Record(const std::string& name, const std::string& value) {
    return {name, value, value, value, value, value, value, value, value, value, "", "", false};
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs `body` in a child process and returns its exit code (or 128 + signal).
template <typename F>
int InChild(F body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Root ignores file modes; without its capabilities it obeys them like any user.
bool DropCapabilities() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    return ::syscall(SYS_capset, &header, data) == 0;
}

pid_t StartWriter(const std::string& store, const std::string& prefix, int count) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(ZO_STORE_WRITER, ZO_STORE_WRITER, store.c_str(), prefix.c_str(),
                std::to_string(count).c_str(), nullptr);
        ::_exit(127);
    }
    return pid;
}

}  // namespace

TEST(StoreFaults, FullFileSystemFailsTheSaveAndKeepsWhatWasThere) {
    zo::test::TestStore store;
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    ASSERT_TRUE(WriteProfile(key, Record("Kept", "old")));
    struct stat st {};
    ASSERT_EQ(::stat(store.Path().c_str(), &st), 0);
    const int code = InChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{static_cast<rlim_t>(st.st_size), static_cast<rlim_t>(st.st_size)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        zo::registry::SetDefaultHivePath(store.Path());
        RegistryKey k(HKEY_LOCAL_MACHINE, PccardPath());
        const std::string big(200000, 'x');
        bool saved = WriteProfile(k, Record("Kept", big)) || WriteProfile(k, Record("New", big));
        return saved ? 1 : 0;
    });
    EXPECT_EQ(code, 0) << "a save on a full file system reported success";
    zo::registry::SetDefaultHivePath(store.Path());
    EXPECT_EQ(ListProfileNames().Value(), std::vector<std::string>{"Kept"});
    EXPECT_EQ(ReadProfile("Kept").Value().At(kFlow), "old");
}

TEST(StoreFaults, ReadOnlyStoreIsReadButNeverWritten) {
    zo::test::TestStore store;
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    ASSERT_TRUE(WriteProfile(key, Record("Kept", "old")));
    ASSERT_EQ(::chmod(store.Path().c_str(), 0400), 0);
    ASSERT_EQ(::chmod(store.Dir().c_str(), 0500), 0);
    const std::string before = ReadAll(store.Path());
    const int code = InChild([&] {
        if (::geteuid() == 0 && !DropCapabilities()) {
            return 3;
        }
        zo::registry::SetDefaultHivePath(store.Path());
        if (ReadProfile("Kept").Value().At(kFlow) != "old") {
            return 2;
        }
        RegistryKey k(HKEY_LOCAL_MACHINE, PccardPath());
        return WriteProfile(k, Record("Kept", "new")) ? 1 : 0;
    });
    ::chmod(store.Dir().c_str(), 0700);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadAll(store.Path()), before);
}

TEST(StoreFaults, TwoProgramsSavingAtOnceLoseNothingAndMixNothing) {
    zo::test::TestStore store;
    const int count = 40;
    pid_t a = StartWriter(store.Path(), "A", count);
    pid_t b = StartWriter(store.Path(), "B", count);
    int sa = 0, sb = 0;
    ::waitpid(a, &sa, 0);
    ::waitpid(b, &sb, 0);
    ASSERT_TRUE(WIFEXITED(sa) && WEXITSTATUS(sa) == 0);
    ASSERT_TRUE(WIFEXITED(sb) && WEXITSTATUS(sb) == 0);
    zo::registry::SetDefaultHivePath(store.Path());
    EXPECT_EQ(ListProfileNames().Value().size(), static_cast<std::size_t>(2 * count + 1));
    for (const std::string prefix : {"A", "B"}) {
        for (int i = 0; i < count; ++i) {
            Profile p = ReadProfile(prefix + std::to_string(i)).Value();
            ASSERT_EQ(p.storedCount, i % 2 == 1 ? 12u : 10u);
            EXPECT_EQ(p.At(kSwitch), prefix + "-" + std::to_string(i));
        }
    }
    Profile both = ReadProfile("Both").Value();
    ASSERT_TRUE(both.storedCount == 10 || both.storedCount == 12);
    for (std::size_t i = kSwitch; i < both.storedCount; ++i) {
        EXPECT_EQ(both.At(i), both.At(kSwitch));
    }
    EXPECT_TRUE(both.At(kSwitch) == "A-" + std::to_string(count - 1) ||
                both.At(kSwitch) == "B-" + std::to_string(count - 1));
    // Each program saved its own profile and "Both" `count` times. Read by
    // tools/reliability.sh for the figures of docs/reliability.md.
    std::printf("[figure] concurrent saves by two programs: %d\n", 4 * count);
}
