#include "platform/comm/TtyDevice.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <utility>

#include "platform/comm/HeldPorts.h"
#include "platform/comm/PortDiagnosis.h"
#include "res/Translation.h"

namespace zo::comm {
namespace {

struct SpeedEntry {
    std::uint32_t baud;
    speed_t speed;
};

constexpr std::array kSpeeds{
    SpeedEntry{50, B50},           SpeedEntry{75, B75},           SpeedEntry{110, B110},
    SpeedEntry{134, B134},         SpeedEntry{150, B150},         SpeedEntry{200, B200},
    SpeedEntry{300, B300},         SpeedEntry{600, B600},         SpeedEntry{1200, B1200},
    SpeedEntry{1800, B1800},       SpeedEntry{2400, B2400},       SpeedEntry{4800, B4800},
    SpeedEntry{9600, B9600},       SpeedEntry{19200, B19200},     SpeedEntry{38400, B38400},
    SpeedEntry{57600, B57600},     SpeedEntry{115200, B115200},   SpeedEntry{230400, B230400},
    SpeedEntry{460800, B460800},   SpeedEntry{500000, B500000},   SpeedEntry{576000, B576000},
    SpeedEntry{921600, B921600},   SpeedEntry{1000000, B1000000}, SpeedEntry{1152000, B1152000},
    SpeedEntry{1500000, B1500000}, SpeedEntry{2000000, B2000000}, SpeedEntry{2500000, B2500000},
    SpeedEntry{3000000, B3000000}, SpeedEntry{3500000, B3500000}, SpeedEntry{4000000, B4000000},
};

std::uint32_t BaudOf(speed_t speed) {
    for (const auto& e : kSpeeds) {
        if (e.speed == speed) {
            return e.baud;
        }
    }
    return 0;
}

// A device without modem lines answers the line ioctls with one of these.
bool MeansNoModemLines(int error) {
    return error == ENOTTY || error == EINVAL || error == ENOTSUP;
}

constexpr tcflag_t kComparedCflags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
constexpr tcflag_t kComparedIflags = IXON | IXOFF;

}  // namespace

bool TtyDevice::SpeedConstant(std::uint32_t baud, unsigned* speed) {
    for (const auto& e : kSpeeds) {
        if (e.baud == baud) {
            *speed = e.speed;
            return true;
        }
    }
    return false;
}

std::unique_ptr<TtyDevice> TtyDevice::Open(const std::string& path, std::string* error) {
    if (path.empty()) {
        *error = res::Tr("no device path");
        return nullptr;
    }
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        *error = DescribeOpenFailure(path, errno);
        return nullptr;
    }
    if (!::isatty(fd.Get())) {
        *error = res::Fill(res::Tr("%1: not a serial device"), {path});
        return nullptr;
    }
    // TIOCEXCL does not hold against root; the lock does.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        *error = errno == EWOULDBLOCK ? DescribeBusy(path) : DescribeOpenFailure(path, errno);
        return nullptr;
    }

    termios t{};
    if (::tcgetattr(fd.Get(), &t) != 0) {
        *error = DescribeDeviceFailure(path, errno);
        return nullptr;
    }
    const termios original = t;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    // With at least one byte wanted, a non-blocking read of an empty queue fails with
    // EAGAIN and a read of 0 bytes can only mean the line hung up.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(fd.Get(), TCSANOW, &t) != 0) {
        *error = DescribeDeviceFailure(path, errno);
        ::tcsetattr(fd.Get(), TCSANOW, &original);
        return nullptr;
    }
    // Made exclusive last, so that no failed open leaves the flag behind; the device
    // clears it again before it closes.
    ::ioctl(fd.Get(), TIOCEXCL);

    std::unique_ptr<TtyDevice> device(new TtyDevice(std::move(fd), path, original));
    int lines = 0;
    device->m_hasModemLines = ::ioctl(device->m_fd.Get(), TIOCMGET, &lines) == 0;
    serial_struct serial{};
    if (::ioctl(device->m_fd.Get(), TIOCGSERIAL, &serial) == 0) {
        serial.closing_wait = ASYNC_CLOSING_WAIT_NONE;
        device->m_closeWaitsForOutput = ::ioctl(device->m_fd.Get(), TIOCSSERIAL, &serial) != 0;
    }
    return device;
}

TtyDevice::TtyDevice(UniqueFd fd, std::string path, const termios& original)
    : m_fd(std::move(fd)), m_path(std::move(path)), m_original(original) {
    struct stat st {};
    if (::fstat(m_fd.Get(), &st) == 0) {
        m_node = st.st_rdev;
        m_inode = st.st_ino;
    }
    m_heldSlot = RememberHeldPort(m_fd.Get(), m_original);
}

TtyDevice::~TtyDevice() {
    if (!m_fd.Valid()) {
        return;
    }
    ForgetHeldPort(m_heldSlot);
    if (!m_lost) {
        // Where the driver would wait for undrained output at close, drop it instead.
        if (m_closeWaitsForOutput) {
            ::tcflush(m_fd.Get(), TCOFLUSH);
        }
        // A terminal used for the card is left as it was found, not raw and without echo.
        ::tcsetattr(m_fd.Get(), TCSANOW, &m_original);
    }
    // TIOCEXCL belongs to the terminal, not to this descriptor: on a pseudo-terminal whose
    // other side stays open it outlives the close and refuses every later open but root's.
    ::ioctl(m_fd.Get(), TIOCNXCL);
}

bool TtyDevice::Fail(int error) {
    m_lastError = error;
    if (MeansVanished(error)) {
        m_lost = true;
    }
    return false;
}

bool TtyDevice::Lost() const {
    if (m_lost) {
        return true;
    }
    struct stat st {};
    return ::stat(m_path.c_str(), &st) != 0 || st.st_rdev != m_node || st.st_ino != m_inode;
}

bool TtyDevice::Read(std::span<char> buf, std::size_t* got) {
    *got = 0;
    if (buf.empty()) {
        return true;
    }
    for (;;) {
        ssize_t n = ::read(m_fd.Get(), buf.data(), buf.size());
        if (n > 0) {
            *got = static_cast<std::size_t>(n);
            return true;
        }
        if (n == 0) {
            return Fail(EIO);
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EAGAIN ? true : Fail(errno);
    }
}

WaitResult TtyDevice::WaitReadable(platform::Clock::TimePoint deadline) {
    using namespace std::chrono;
    // The kernel may end a long wait up to 0.1% of it late (5 ms on a 5-second read
    // window), so a long wait stops a little short and a second one waits out the rest.
    bool stoppedShort = false;
    for (;;) {
        auto remaining = duration_cast<nanoseconds>(deadline - platform::CurrentClock().Now());
        bool shortened = false;
        timespec ts{0, 0};
        if (remaining > nanoseconds::zero()) {
            if (!stoppedShort && remaining > 20ms) {
                remaining -= remaining / 500;
                shortened = true;
            }
            remaining = std::min<nanoseconds>(remaining, 1000s);
            ts.tv_sec = static_cast<time_t>(remaining.count() / 1'000'000'000);
            ts.tv_nsec = static_cast<long>(remaining.count() % 1'000'000'000);
        }
        pollfd p{m_fd.Get(), POLLIN, 0};
        int r = ::ppoll(&p, 1, &ts, nullptr);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            Fail(errno);
            return WaitResult::Failed;
        }
        if (r == 0) {
            if (shortened) {
                stoppedShort = true;
                continue;
            }
            return WaitResult::Timeout;
        }
        if (p.revents & POLLNVAL) {
            Fail(EBADF);
            return WaitResult::Failed;
        }
        // A hang-up or error is reported by the read that follows.
        return WaitResult::Readable;
    }
}

bool TtyDevice::Write(std::string_view data) {
    auto& clock = platform::CurrentClock();
    const auto deadline = clock.Now() + WriteBound(data.size());
    while (!data.empty()) {
        ssize_t n = ::write(m_fd.Get(), data.data(), data.size());
        if (n > 0) {
            data.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return Fail(errno);
        }
        auto remaining = deadline - clock.Now();
        if (remaining <= platform::Clock::Duration::zero()) {
            return Fail(ETIMEDOUT);
        }
        pollfd p{m_fd.Get(), POLLOUT, 0};
        int r = ::poll(
            &p, 1,
            static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(remaining).count()));
        if (r == 0) {
            return Fail(ETIMEDOUT);
        }
        if (r < 0 && errno != EINTR) {
            return Fail(errno);
        }
    }
    return true;
}

bool TtyDevice::GetState(LineState* state) {
    termios t{};
    if (::tcgetattr(m_fd.Get(), &t) != 0) {
        return Fail(errno);
    }
    LineState s;
    s.baudRate = BaudOf(::cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
        case CS5:
            s.byteSize = 5;
            break;
        case CS6:
            s.byteSize = 6;
            break;
        case CS7:
            s.byteSize = 7;
            break;
        default:
            s.byteSize = 8;
            break;
    }
    if (!(t.c_cflag & PARENB)) {
        s.parity = kNoParity;
    } else if (t.c_cflag & CMSPAR) {
        s.parity = (t.c_cflag & PARODD) ? kMarkParity : kSpaceParity;
    } else {
        s.parity = (t.c_cflag & PARODD) ? kOddParity : kEvenParity;
    }
    s.stopBits = (t.c_cflag & CSTOPB) ? kTwoStopBits : kOneStopBit;
    s.outX = (t.c_iflag & IXON) != 0;
    s.inX = (t.c_iflag & IXOFF) != 0;
    s.xonChar = static_cast<char>(t.c_cc[VSTART]);
    s.xoffChar = static_cast<char>(t.c_cc[VSTOP]);
    int lines = 0;
    bool haveLines = m_hasModemLines && ::ioctl(m_fd.Get(), TIOCMGET, &lines) == 0;
    s.dtrControl =
        haveLines ? ((lines & TIOCM_DTR) ? DtrControl::Enable : DtrControl::Disable) : m_dtr;
    if (t.c_cflag & CRTSCTS) {
        s.outxCtsFlow = true;
        s.rtsControl = RtsControl::Handshake;
    } else {
        s.rtsControl = haveLines ? ((lines & TIOCM_RTS) ? RtsControl::Enable : RtsControl::Disable)
                                 : (m_rts == RtsControl::Handshake ? RtsControl::Enable : m_rts);
    }
    *state = s;
    return true;
}

bool TtyDevice::SetModemLine(int line, bool on) {
    if (!m_hasModemLines) {
        return true;
    }
    if (::ioctl(m_fd.Get(), on ? TIOCMBIS : TIOCMBIC, &line) == 0) {
        return true;
    }
    if (MeansNoModemLines(errno)) {
        m_hasModemLines = false;
        return true;
    }
    return Fail(errno);
}

bool TtyDevice::SetState(const LineState& s) {
    speed_t speed = 0;
    // Everything is checked before anything is changed: termios has no DSR flow, no DTR
    // handshake, no RTS toggling and no one-and-a-half stop bits.
    if (!SpeedConstant(s.baudRate, &speed) || s.byteSize < 5 || s.byteSize > 8 ||
        s.parity > kSpaceParity || s.stopBits == kOne5StopBits || s.stopBits > kTwoStopBits ||
        s.outxDsrFlow || s.dsrSensitivity || s.dtrControl == DtrControl::Handshake ||
        s.rtsControl == RtsControl::Toggle) {
        return Fail(EINVAL);
    }
    termios t{};
    if (::tcgetattr(m_fd.Get(), &t) != 0) {
        return Fail(errno);
    }
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) {
        return Fail(EINVAL);
    }
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag = (t.c_cflag & ~CSIZE) | kSizes[s.byteSize - 5];
    t.c_cflag &= ~(PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    switch (s.parity) {
        case kOddParity:
            t.c_cflag |= PARENB | PARODD;
            break;
        case kEvenParity:
            t.c_cflag |= PARENB;
            break;
        case kMarkParity:
            t.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case kSpaceParity:
            t.c_cflag |= PARENB | CMSPAR;
            break;
        default:
            break;
    }
    if (s.stopBits == kTwoStopBits) {
        t.c_cflag |= CSTOPB;
    }
    // termios has one switch for both directions of hardware flow.
    if (s.outxCtsFlow || s.rtsControl == RtsControl::Handshake) {
        t.c_cflag |= CRTSCTS;
    }
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (s.outX) {
        t.c_iflag |= IXON;
    }
    if (s.inX) {
        t.c_iflag |= IXOFF;
    }
    t.c_cc[VSTART] = static_cast<cc_t>(s.xonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.xoffChar);
    if (::tcsetattr(m_fd.Get(), TCSANOW, &t) != 0) {
        return Fail(errno);
    }
    // Some drivers drop the lines on a termios change; raise them again as asked.
    if (!SetModemLine(TIOCM_DTR, s.dtrControl == DtrControl::Enable) ||
        !SetModemLine(TIOCM_RTS, s.rtsControl != RtsControl::Disable)) {
        return false;
    }
    m_dtr = s.dtrControl;
    m_rts = s.rtsControl;
    // tcsetattr succeeds when any part of the change took; only a read-back shows all did.
    termios back{};
    if (::tcgetattr(m_fd.Get(), &back) != 0) {
        return Fail(errno);
    }
    if (::cfgetospeed(&back) != speed || ::cfgetispeed(&back) != speed ||
        (back.c_cflag & kComparedCflags) != (t.c_cflag & kComparedCflags) ||
        (back.c_iflag & kComparedIflags) != (t.c_iflag & kComparedIflags)) {
        return Fail(EINVAL);
    }
    return true;
}

void TtyDevice::ClearError(CommStatus* status) {
    CommStatus s;
    int n = 0;
    if (::ioctl(m_fd.Get(), TIOCINQ, &n) == 0 && n > 0) {
        s.inQueue = static_cast<std::size_t>(n);
    }
    n = 0;
    if (::ioctl(m_fd.Get(), TIOCOUTQ, &n) == 0 && n > 0) {
        s.outQueue = static_cast<std::size_t>(n);
    }
    s.lastError = std::exchange(m_lastError, 0);
    if (status) {
        *status = s;
    }
}

Capabilities TtyDevice::GetCapabilities() {
    // Non-blocking reads always return at once with what is queued.
    return Capabilities{kCapIntervalTimeouts};
}

}  // namespace zo::comm
