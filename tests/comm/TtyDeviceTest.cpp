#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "platform/comm/ByteTrace.h"
#include "platform/comm/PortMap.h"
#include "platform/comm/TtyDevice.h"
#include "platform/comm/UniqueFd.h"
#include "support/PtyPair.h"

using namespace std::chrono_literals;

namespace zo::comm {
namespace {

// A pseudo-terminal whose slave side the tests open as a serial device. These tests run
// on the real clock; they wait only where the answer is already there.
class TtyDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::PtyPair pty;
        ASSERT_FALSE(pty.slave.empty());
        m_master = std::move(pty.master);
        m_slave = pty.slave;
    }
    std::unique_ptr<TtyDevice> Open() {
        std::string error;
        auto d = TtyDevice::Open(m_slave, &error);
        EXPECT_NE(d, nullptr) << error;
        return d;
    }
    static platform::Clock::TimePoint In(std::chrono::milliseconds ms) {
        return platform::CurrentClock().Now() + ms;
    }

    UniqueFd m_master;
    std::string m_slave;
};

TEST_F(TtyDeviceTest, OpenFailsForWhatIsNoSerialDevice) {
    std::string error;
    EXPECT_EQ(TtyDevice::Open("/nonexistent/ttyS9", &error), nullptr);
    EXPECT_NE(error.find("/nonexistent/ttyS9"), std::string::npos);
    EXPECT_EQ(TtyDevice::Open("/dev/null", &error), nullptr);
    EXPECT_NE(error.find("not a serial device"), std::string::npos);
    EXPECT_EQ(TtyDevice::Open("", &error), nullptr);
}

TEST_F(TtyDeviceTest, OpenIsExclusiveEvenForRoot) {
    auto first = Open();
    std::string error;
    EXPECT_EQ(TtyDevice::Open(m_slave, &error), nullptr);
    EXPECT_NE(error.find("in use"), std::string::npos);
    first.reset();
    EXPECT_NE(Open(), nullptr);
}

// TIOCEXCL stays on a pseudo-terminal whose other side is open; only root would get past it.
TEST_F(TtyDeviceTest, NothingStaysExclusiveAfterClose) {
    Open().reset();
    std::string error;
    EXPECT_EQ(TtyDevice::Open("/dev/null", &error), nullptr) << "a failed open leaves no flag";
    UniqueFd plain(::open(m_slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(plain.Valid()) << "another program opens the port right after";
    int exclusive = -1;
    ASSERT_EQ(::ioctl(plain.Get(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    {
        auto d = Open();
        ASSERT_EQ(::ioctl(plain.Get(), TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 1) << "exclusive while open";
    }
    ASSERT_EQ(::ioctl(plain.Get(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}

TEST_F(TtyDeviceTest, ReadsReturnAtOnceAndWaitsEndWithData) {
    auto d = Open();
    char buf[64];
    std::size_t got = 99;
    EXPECT_TRUE(d->Read(buf, &got));
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(d->WaitReadable(In(0ms)), WaitResult::Timeout);
    ASSERT_EQ(::write(m_master.Get(), "OK\r\n", 4), 4);
    EXPECT_EQ(d->WaitReadable(In(10000ms)), WaitResult::Readable);
    EXPECT_TRUE(d->Read(buf, &got));
    EXPECT_EQ(std::string(buf, got), "OK\r\n");
    EXPECT_TRUE(d->Write("AT\r\n"));
    ASSERT_EQ(::read(m_master.Get(), buf, sizeof buf), 4) << "raw: nothing added or echoed";
    EXPECT_TRUE(d->GetCapabilities().Has(kCapIntervalTimeouts));
}

TEST_F(TtyDeviceTest, LineStateRoundTripAndRefusals) {
    auto d = Open();
    EXPECT_FALSE(d->HasModemLines()) << "a pseudo-terminal has no DTR or RTS";
    LineState s;
    ASSERT_TRUE(d->GetState(&s));
    s.baudRate = 38400;
    s.stopBits = kTwoStopBits;
    s.outX = s.inX = true;
    s.outxCtsFlow = true;
    s.rtsControl = RtsControl::Handshake;
    ASSERT_TRUE(d->SetState(s));
    LineState back;
    ASSERT_TRUE(d->GetState(&back));
    EXPECT_EQ(back, s);

    for (std::uint32_t speed : {0u, 12345u}) {
        LineState bad = s;
        bad.baudRate = speed;
        EXPECT_FALSE(d->SetState(bad)) << speed;
    }
    // A pseudo-terminal keeps 8 data bits without parity whatever it is told; the
    // read-back catches the part it ignored.
    LineState bad = s;
    bad.byteSize = 7;
    bad.parity = kEvenParity;
    EXPECT_FALSE(d->SetState(bad));
    bad = s;
    bad.stopBits = kOne5StopBits;
    EXPECT_FALSE(d->SetState(bad));
    bad = s;
    bad.dtrControl = DtrControl::Handshake;
    EXPECT_FALSE(d->SetState(bad));
    ASSERT_TRUE(d->GetState(&back));
    EXPECT_EQ(back, s) << "refused records change nothing";
}

TEST_F(TtyDeviceTest, AHangUpFailsTheReadWithoutWaiting) {
    auto d = Open();
    m_master.Reset();
    auto before = std::chrono::steady_clock::now();
    WaitResult w = d->WaitReadable(In(20000ms));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
    char buf[16];
    std::size_t got = 0;
    EXPECT_TRUE(w == WaitResult::Failed || !d->Read(buf, &got));
    EXPECT_FALSE(d->Write("AT\r\n"));
    EXPECT_TRUE(d->Lost()) << "a hung-up line never works again";
    CommStatus status;
    d->ClearError(&status);
    EXPECT_NE(status.lastError, 0);
}

// The device behind a path that now names another node (a replugged adapter, a restarted
// simulator on the same link) has gone, though the old handle still answers.
TEST_F(TtyDeviceTest, ANodeReplacedUnderThePathIsLost) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zo-tty-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const char* dir = pattern.c_str();
    const std::string link = std::string(dir) + "/card";
    ASSERT_EQ(::symlink(m_slave.c_str(), link.c_str()), 0);
    std::string error;
    auto d = TtyDevice::Open(link, &error);
    ASSERT_NE(d, nullptr) << error;
    EXPECT_FALSE(d->Lost());

    UniqueFd other(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(other.Valid());
    ASSERT_EQ(::grantpt(other.Get()), 0);
    ASSERT_EQ(::unlockpt(other.Get()), 0);
    char name[PATH_MAX];
    ASSERT_EQ(::ptsname_r(other.Get(), name, sizeof name), 0);
    ::unlink(link.c_str());
    EXPECT_TRUE(d->Lost()) << "the path is gone";
    ASSERT_EQ(::symlink(name, link.c_str()), 0);
    EXPECT_TRUE(d->Lost()) << "the path names another terminal";
    ::unlink(link.c_str());
    ::rmdir(dir);
}

// A terminal the program used is left as it was found: its own modes, not raw.
TEST_F(TtyDeviceTest, ClosingRestoresTheLineSettingsFoundAtOpen) {
    UniqueFd slave(::open(m_slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(slave.Valid());
    termios before{};
    ASSERT_EQ(::tcgetattr(slave.Get(), &before), 0);
    before.c_lflag |= ECHO | ICANON | ISIG;
    before.c_oflag |= OPOST;
    ::cfsetospeed(&before, B9600);
    ::cfsetispeed(&before, B9600);
    ASSERT_EQ(::tcsetattr(slave.Get(), TCSANOW, &before), 0);
    {
        auto d = Open();
        LineState s;
        ASSERT_TRUE(d->GetState(&s));
        s.baudRate = 115200;
        ASSERT_TRUE(d->SetState(s));
        termios during{};
        ASSERT_EQ(::tcgetattr(slave.Get(), &during), 0);
        EXPECT_EQ(during.c_lflag & (ECHO | ICANON), 0u) << "raw while the program has it";
    }
    termios after{};
    ASSERT_EQ(::tcgetattr(slave.Get(), &after), 0);
    EXPECT_EQ(after.c_lflag & (ECHO | ICANON | ISIG), before.c_lflag & (ECHO | ICANON | ISIG));
    EXPECT_EQ(after.c_oflag & OPOST, before.c_oflag & OPOST);
    EXPECT_EQ(::cfgetospeed(&after), B9600);
}

TEST_F(TtyDeviceTest, PortMapResolvesNamesWithoutRegardToCase) {
    PortMap map;
    map.MapToPath("COM3", m_slave);
    std::string error;
    auto d = map.Open("com3", &error);
    ASSERT_NE(d, nullptr) << error;
    EXPECT_EQ(d->Describe(), m_slave);
    EXPECT_EQ(map.Open("COM1", &error), nullptr);
    EXPECT_NE(error.find("COM1"), std::string::npos);
    EXPECT_EQ(map.Open("", &error), nullptr);
    EXPECT_EQ(PortMap::Defaults().PathOf("COM4"), "/dev/ttyS3");
}

TEST(ByteTraceTest, EscapesEverythingButPrintableText) {
    EXPECT_EQ(ByteTrace::Escape(std::string("AT&F\r\n\xAA\\\0", 9)), "AT&F\\r\\n\\xAA\\\\\\x00");
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* f = ::open_memstream(&text, &size);
    {
        ByteTrace trace(f);
        trace.Sent("AT\r\n");
        trace.Received("OK");
    }
    std::fclose(f);
    std::string lines(text, size);
    std::free(text);
    EXPECT_NE(lines.find(" -> AT\\r\\n\n"), std::string::npos);
    EXPECT_NE(lines.find(" <- OK\n"), std::string::npos);
}

TEST(ByteTraceTest, ANoteIsOneLineWhateverItsReason) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* f = ::open_memstream(&text, &size);
    {
        ByteTrace trace(f);
        trace.Note("open COM3 (/dev/ttyUSB0: No such file or directory\nThe device is not there)");
    }
    std::fclose(f);
    std::string lines(text, size);
    std::free(text);
    EXPECT_NE(lines.find(" -- open COM3 (/dev/ttyUSB0: No such file or directory\\nThe device"),
              std::string::npos)
        << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1);
}

}  // namespace
}  // namespace zo::comm
