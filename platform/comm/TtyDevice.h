#pragma once

#include <sys/types.h>
#include <termios.h>

#include <memory>
#include <string>

#include "platform/comm/SerialDevice.h"
#include "platform/comm/UniqueFd.h"

namespace zo::comm {

// A serial device on a termios tty, exclusive while open (flock and TIOCEXCL, cleared at
// close), without a controlling terminal, non-blocking and raw.
class TtyDevice : public SerialDevice {
public:
    // Null with "PATH: reason" in `error` when the device is absent, not a terminal or
    // held by another program.
    static std::unique_ptr<TtyDevice> Open(const std::string& path, std::string* error);
    ~TtyDevice() override;

    bool Read(std::span<char> buf, std::size_t* got) override;
    WaitResult WaitReadable(platform::Clock::TimePoint deadline) override;
    bool Write(std::string_view data) override;
    bool GetState(LineState* state) override;
    bool SetState(const LineState& state) override;
    void ClearError(CommStatus* status) override;
    Capabilities GetCapabilities() override;
    std::string Describe() const override { return m_path; }
    int PendingError() const override { return m_lastError; }
    bool Lost() const override;

    // Whether the device has DTR and RTS lines; a pseudo-terminal has none.
    bool HasModemLines() const { return m_hasModemLines; }

    // The termios speed constant for a bit rate; false for a rate termios does not know.
    // Rate 0 is refused too: it would hang up the line.
    static bool SpeedConstant(std::uint32_t baud, unsigned* speed);

private:
    TtyDevice(UniqueFd fd, std::string path, const termios& original);
    bool SetModemLine(int line, bool on);
    bool Fail(int error);

    UniqueFd m_fd;
    std::string m_path;
    bool m_hasModemLines = false;
    bool m_closeWaitsForOutput = true;
    DtrControl m_dtr = DtrControl::Enable;
    RtsControl m_rts = RtsControl::Enable;
    int m_lastError = 0;
    bool m_lost = false;
    // The line settings found at open, put back at close.
    termios m_original{};
    // The node that was opened, to tell when the path names another device.
    dev_t m_node = 0;
    ino_t m_inode = 0;
    // Where the device is remembered for release at an abnormal exit.
    int m_heldSlot = -1;
};

}  // namespace zo::comm
