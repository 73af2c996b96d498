#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>

#include "platform/comm/HeldPorts.h"
#include "platform/comm/TtyDevice.h"
#include "platform/comm/UniqueFd.h"
#include "support/PtyPair.h"

namespace zo::comm {
namespace {

// A program ended by a signal, or by exit() with the port still open, hands the terminal
// back with the settings it found and without the exclusive flag.
class HeldPortsTest : public ::testing::TestWithParam<int> {};

TEST_P(HeldPortsTest, AnEndWithThePortOpenPutsItBack) {
    const int how = GetParam();
    test::PtyPair pty;
    ASSERT_FALSE(pty.slave.empty());
    UniqueFd watcher(::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(watcher.Valid());
    termios found{};
    ASSERT_EQ(::tcgetattr(watcher.Get(), &found), 0);
    found.c_lflag |= ECHO | ICANON;
    ::cfsetospeed(&found, B9600);
    ::cfsetispeed(&found, B9600);
    ASSERT_EQ(::tcsetattr(watcher.Get(), TCSANOW, &found), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);  // SIGQUIT would leave a core file behind
        ReleaseHeldPortsAtExit();
        std::string error;
        auto device = TtyDevice::Open(pty.slave, &error);
        LineState s;
        if (!device || !device->GetState(&s)) {
            ::_exit(90);
        }
        s.baudRate = 115200;
        s.outxCtsFlow = true;
        s.rtsControl = RtsControl::Handshake;
        if (!device->SetState(s)) {
            ::_exit(91);
        }
        if (how == 0) {
            std::exit(0);  // as Qt does when the X server goes away
        }
        ::raise(how);
        ::_exit(92);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (how == 0) {
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    } else {
        ASSERT_TRUE(WIFSIGNALED(status)) << "ends as the signal would have: " << status;
        EXPECT_EQ(WTERMSIG(status), how);
    }
    termios after{};
    ASSERT_EQ(::tcgetattr(watcher.Get(), &after), 0);
    EXPECT_EQ(::cfgetospeed(&after), B9600);
    EXPECT_EQ(after.c_cflag & CRTSCTS, 0u) << "no hardware flow left behind";
    EXPECT_EQ(after.c_lflag & (ECHO | ICANON), static_cast<tcflag_t>(ECHO | ICANON));
    int exclusive = -1;
    ASSERT_EQ(::ioctl(watcher.Get(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}

INSTANTIATE_TEST_SUITE_P(Ends, HeldPortsTest,
                         ::testing::Values(0, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE));

}  // namespace
}  // namespace zo::comm
