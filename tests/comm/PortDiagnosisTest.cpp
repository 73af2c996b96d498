// The reasons shown under messages 109 and 111, found on real pseudo-terminals and, where
// a refusal needs another user or another program, in a child process.
#include "platform/comm/PortDiagnosis.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/comm/TtyDevice.h"
#include "support/PtyPair.h"

namespace zo::comm {
namespace {

using test::PtyPair;

std::string ReadAll(int fd) {
    std::string text;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) {
        text.append(buf, static_cast<std::size_t>(n));
    }
    return text;
}

int WaitFor(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PortDiagnosis, RefusedAccessNamesTheGroupToJoin) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to hand the device to another user";
    }
    const group* dialout = ::getgrnam("dialout");
    const passwd* nobody = ::getpwnam("nobody");
    if (!dialout || !nobody) {
        GTEST_SKIP() << "no dialout group or nobody user here";
    }
    const gid_t dialoutGid = dialout->gr_gid;
    const uid_t nobodyUid = nobody->pw_uid;
    const gid_t nobodyGid = nobody->pw_gid;
    PtyPair pty;
    ASSERT_FALSE(pty.slave.empty());
    ASSERT_EQ(::chown(pty.slave.c_str(), 0, dialoutGid), 0);
    ASSERT_EQ(::chmod(pty.slave.c_str(), 0660), 0);

    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(out[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobodyGid) != 0 || ::setuid(nobodyUid) != 0) {
            ::_exit(3);
        }
        std::string error;
        auto device = TtyDevice::Open(pty.slave, &error);
        [[maybe_unused]] ssize_t n = ::write(out[1], error.data(), error.size());
        ::_exit(device ? 1 : 0);
    }
    ::close(out[1]);
    std::string error = ReadAll(out[0]);
    ::close(out[0]);
    ASSERT_EQ(WaitFor(child), 0) << "the open should have been refused";
    EXPECT_EQ(error.rfind(pty.slave + ": Permission denied\n", 0), 0u) << error;
    EXPECT_NE(error.find("not in the group \"dialout\""), std::string::npos) << error;
    EXPECT_NE(error.find("sudo adduser nobody dialout"), std::string::npos) << error;

    // A device only its owner may use is not a question of groups.
    ASSERT_EQ(::chmod(pty.slave.c_str(), 0600), 0);
    error = DescribeOpenFailure(pty.slave, EACCES);
    EXPECT_NE(error.find("mode 0600"), std::string::npos) << error;
    EXPECT_EQ(error.find("adduser"), std::string::npos) << error;
}

TEST(PortDiagnosis, ProgramHoldingTheLockIsNamedWithItsPid) {
    PtyPair pty;
    ASSERT_FALSE(pty.slave.empty());
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        ::prctl(PR_SET_NAME, "zo-holder");
        std::string error;
        auto device = TtyDevice::Open(pty.slave, &error);
        char c = device ? 'y' : 'n';
        [[maybe_unused]] ssize_t n = ::write(ready[1], &c, 1);
        n = ::read(release[0], &c, 1);  // until the test closes its end
        device.reset();                 // a program that ends closes its port
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');

    std::string error;
    EXPECT_EQ(TtyDevice::Open(pty.slave, &error), nullptr);
    const std::string holder = "zo-holder (PID " + std::to_string(child) + ")";
    EXPECT_EQ(error.rfind(pty.slave + ": in use by another program\n", 0), 0u) << error;
    EXPECT_NE(error.find(holder), std::string::npos) << error;
    auto found = FindPortHolder(pty.slave);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->pid, child);
    EXPECT_EQ(found->name, "zo-holder");

    ::close(release[1]);
    ::close(ready[0]);
    EXPECT_EQ(WaitFor(child), 0);
    // Free again, and nobody else holds it.
    EXPECT_FALSE(FindPortHolder(pty.slave).has_value());
    EXPECT_NE(TtyDevice::Open(pty.slave, &error), nullptr) << error;
}

}  // namespace
}  // namespace zo::comm
