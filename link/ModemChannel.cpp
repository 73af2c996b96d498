#include "link/ModemChannel.h"

#include <array>
#include <cctype>
#include <climits>
#include <span>
#include <utility>

#include "platform/comm/PortDiagnosis.h"
#include "platform/prompt/Prompter.h"
#include "res/Strings.h"
#include "res/Translation.h"

namespace zo::link {
namespace {

// The C library's atol without its undefined overflow: blanks, a sign, then digits.
long Atol(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value > (LONG_MAX - 9) / 10 ? LONG_MAX : value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// Whether "ERROR" stands as a line of its own at or after `from`: the card's refusal, as
// opposed to the letters inside an echoed value or an information text.
bool HasErrorLine(const std::string& text, std::size_t from) {
    static constexpr std::string_view kError = "ERROR";
    for (std::size_t at = text.find(kError, from); at != std::string::npos;
         at = text.find(kError, at + 1)) {
        std::size_t end = at + kError.size();
        if ((at == 0 || IsLineBreak(text[at - 1])) && end < text.size() && IsLineBreak(text[end])) {
            return true;
        }
    }
    return false;
}

// A reason on one line: its hint after a semicolon.
std::string OneLine(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) {
        text.replace(at, 1, "; ");
    }
    return text;
}

}  // namespace

struct ModemChannel::ResultScan {
    // ReadUntilOK: "OK" anywhere, "ERROR" as a line.
    static ResultScan Anywhere() { return ResultScan{true, {}, true}; }
    // ReadResult: whole lines after the echo, when one is awaited.
    static ResultScan AfterEcho(std::string echo) {
        bool none = echo.empty();
        return ResultScan{false, std::move(echo), none};
    }

    // Judges the reply after a read that left it `before` characters long.
    std::optional<LinkEnd> Judge(const std::string& reply, std::size_t before) {
        if (anywhere) {
            // Room for a word split across two reads, and for the line break before it.
            std::size_t okFrom = before == 0 ? 0 : before - 1;
            if (reply.find("OK", okFrom) != std::string::npos) {
                return LinkEnd::Ok;
            }
            if (HasErrorLine(reply, before < 6 ? 0 : before - 6)) {
                return LinkEnd::Refused;
            }
            return std::nullopt;
        }
        if (!echoSeen) {
            std::size_t at = reply.find(echo, from);
            if (at == std::string::npos) {
                // The echo may be cut across reads: its start may be in the last bytes.
                from = reply.size() < echo.size() ? 0 : reply.size() - echo.size() + 1;
                return std::nullopt;
            }
            echoSeen = true;
            from = at + echo.size();
        }
        // Only lines between two line breaks: "OK" is a result once its line has ended, and
        // the text before the first break may be the tail of something earlier.
        for (std::size_t end = reply.find_first_of("\r\n", from); end != std::string::npos;
             end = reply.find_first_of("\r\n", from)) {
            std::string_view line(reply.data() + from, end - from);
            const bool whole = lineStart;
            from = end + 1;
            lineStart = true;
            if (whole && line == "OK") {
                return LinkEnd::Ok;
            }
            if (whole && line == "ERROR") {
                return LinkEnd::Refused;
            }
        }
        return std::nullopt;
    }

    bool anywhere;
    std::string echo;
    bool echoSeen;
    // Where the search goes on: the start of the first line not judged yet, and whether a
    // line break comes before it.
    std::size_t from = 0;
    bool lineStart = false;
};

ModemChannel::ModemChannel(LinkContext context) : m_context(context) {}
ModemChannel::~ModemChannel() = default;

void ModemChannel::ForgetLostPort() {
    if (!m_serial || !m_serial->Handle || !m_serial->Handle->Lost()) {
        return;
    }
    if (m_linkError.empty()) {
        m_linkError = res::Fill(res::Tr("%1 on %2: the device has gone: it was unplugged, "
                                        "switched off or hung up, or another took its place"),
                                {m_line.port, m_serial->Handle->Describe()});
    }
    m_lost = LostPort{m_serial->PortName(), m_serial->Name, m_serial->State};
    m_serial.reset();
}

bool ModemChannel::EnsurePort() {
    ForgetLostPort();
    if (m_serial || !m_lost) {
        return m_serial != nullptr;
    }
    auto port = std::make_unique<SerialPort>(m_lost->portName, OpenMode::Quiet, m_context);
    if (!port->IsOpen()) {
        m_linkError = port->OpenError();
        return false;
    }
    ++m_deviceOpens;
    // The same port as before: same name for reuse, same line settings.
    port->Name = m_lost->name;
    port->GetState();
    port->State = m_lost->state;
    port->SetState();
    m_serial = std::move(port);
    m_lost.reset();
    return true;
}

LinkResult ModemChannel::OpenPort(OpenMode mode) {
    // An explicit open replaces any port waiting to be reopened; a port whose device has
    // gone is opened afresh, even under the same name.
    ForgetLostPort();
    m_lost.reset();
    // A quietly opened port has no name and is never taken for the one asked for.
    bool reuse =
        m_serial && m_serial->IsOpen() && !m_serial->Name.empty() && m_serial->Name == m_line.port;
    if (!reuse) {
        // Closed first: the device may be the one about to be opened again.
        m_serial.reset();
        m_serial = std::make_unique<SerialPort>(m_line.port, mode, m_context);
        if (m_serial->IsOpen()) {
            ++m_deviceOpens;
        }
    }
    if (!m_serial->IsOpen()) {
        LinkResult failed{LinkEnd::Failed, m_serial->OpenError()};
        m_serial.reset();
        return failed;
    }
    if (!ApplyLineSettings()) {
        const comm::SerialDevice& device = *m_serial->Handle;
        int error = device.PendingError();
        return {LinkEnd::Failed, error ? comm::DescribeDeviceFailure(device.Describe(), error)
                                       : res::Fill(res::Tr("%1: the line settings were refused"),
                                                   {device.Describe()})};
    }
    return {};
}

LinkResult ModemChannel::OpenConfiguredPort() {
    ContextWaitCursor wait(m_context);
    LinkResult opened = OpenPort(OpenMode::Reporting);
    if (!opened && !m_serial && !m_openFailureReportedOnce) {
        m_context.Prompter().Ask(res::LoadString(res::IDS_PORT_COMM_FAILED), platform::Buttons::Ok,
                                 platform::Icon::None, opened.reason);
    }
    return opened;
}

LinkResult ModemChannel::OpenPortByName(const std::string& portName) {
    ContextWaitCursor wait(m_context);
    m_line.port = portName;
    return OpenPort(OpenMode::Quiet);
}

bool ModemChannel::ApplyLineSettings() {
    SerialPort& port = *m_serial;
    comm::LineState& s = port.State;
    if (port.GetState()) {
        s.baudRate = static_cast<std::uint32_t>(Atol(m_line.baud));
    }
    s.byteSize = static_cast<std::uint8_t>(Atol(m_line.bits));
    s.parity = m_line.parityCode;
    s.stopBits = m_line.stopBitsCode;
    auto setFlow = [&s](bool cts, bool outX, bool inX, comm::RtsControl rts) {
        s.outxCtsFlow = cts;
        s.outxDsrFlow = false;
        s.dtrControl = comm::DtrControl::Enable;
        s.dsrSensitivity = false;
        s.outX = outX;
        s.inX = inX;
        s.rtsControl = rts;
    };
    if (m_line.flow == "None") {
        setFlow(false, false, false, comm::RtsControl::Enable);
    } else if (m_line.flow == "XOn/XOff") {
        setFlow(false, true, true, comm::RtsControl::Enable);
    } else if (m_line.flow == "Hardware") {
        setFlow(true, false, false, comm::RtsControl::Handshake);
    }
    bool written = port.SetState();
    port.GetState();
    return written;
}

void ModemChannel::ClearError() {
    if (m_serial && m_serial->Handle) {
        m_serial->Handle->ClearError(&m_serial->Status);
        const std::string device =
            res::Fill(res::Tr("%1 on %2"), {m_line.port, m_serial->Handle->Describe()});
        m_linkError = m_serial->Status.lastError
                          ? comm::DescribeDeviceFailure(device, m_serial->Status.lastError)
                          : res::Fill(res::Tr("%1: the device failed"), {device});
    }
}

LinkResult ModemChannel::Write(std::string_view bytes, bool pause) {
    if ((!m_serial || !m_serial->IsOpen()) && !m_lost) {
        return NoPort();
    }
    ContextWaitCursor wait(m_context);
    m_lastCommand = bytes.substr(0, bytes.find_last_not_of("\r\n") + 1);
    for (;;) {
        m_linkError.clear();
        // Retry after the card came back writes to the device that is there now.
        if (EnsurePort() && m_serial->Handle->Write(bytes)) {
            if (pause) {
                m_context.Clock().Sleep(kCommandPause);
            }
            return {};
        }
        if (m_serial) {
            ClearError();
            ForgetLostPort();
        }
        ++m_writePrompts;
        if (m_context.Prompter().Ask(res::LoadString(res::IDS_PORT_WRITE_FAILED),
                                     platform::Buttons::RetryCancel, platform::Icon::None,
                                     m_linkError) != platform::Answer::Retry) {
            return {LinkEnd::Failed, m_linkError};
        }
    }
}

LinkResult ModemChannel::SendCommand(const std::string& text) {
    return Write(text, true);
}

LinkResult ModemChannel::SendText(std::string_view text) {
    return Write(text.substr(0, text.find('\0')), false);
}

LinkResult ModemChannel::ReadInto(std::string& reply, std::size_t readSize,
                                  platform::Clock::TimePoint deadline, ResultScan* scan) {
    comm::SerialDevice& device = *m_serial->Handle;
    auto& clock = m_context.Clock();
    std::array<char, kReplyReadSize> buffer;
    bool expired = false;
    auto fail = [this] {
        ClearError();
        ForgetLostPort();
        return LinkResult{LinkEnd::Failed, m_linkError};
    };
    for (;;) {
        // Take everything queued, then wait in poll() for more: nothing spins.
        for (;;) {
            std::size_t got = 0;
            if (!device.Read(std::span<char>(buffer.data(), readSize), &got)) {
                return fail();
            }
            if (got == 0) {
                break;
            }
            const std::size_t before = reply.size();
            std::size_t room = kReplyCap - std::min(kReplyCap, reply.size());
            reply.append(buffer.data(), std::min(got, room));
            if (std::optional<LinkEnd> end = scan ? scan->Judge(reply, before) : std::nullopt) {
                return {*end, {}};
            }
            if (clock.Now() >= deadline) {
                break;
            }
        }
        if (expired || clock.Now() >= deadline) {
            return {scan || reply.empty() ? LinkEnd::TimedOut : LinkEnd::Ok, {}};
        }
        switch (device.WaitReadable(deadline)) {
            case comm::WaitResult::Failed:
                return fail();
            case comm::WaitResult::Timeout:
                expired = true;
                break;
            case comm::WaitResult::Readable:
                break;
        }
    }
}

bool ModemChannel::BeginRead(std::string& reply) {
    reply.clear();
    // A read never opens a device: a fresh one would not have heard the command.
    ForgetLostPort();
    if (!m_serial) {
        return false;
    }
    m_linkError.clear();
    return true;
}

LinkResult ModemChannel::ReadReply(std::string& reply) {
    if (!BeginRead(reply)) {
        return NoPort();
    }
    ContextWaitCursor wait(m_context);
    if (!m_serial->Properties.Has(comm::kCapIntervalTimeouts)) {
        return {LinkEnd::Failed, {}};
    }
    reply.reserve(kReplyCap);
    return ReadInto(reply, kReplyReadSize, m_context.Clock().Now() + kReplyWindow, nullptr);
}

LinkResult ModemChannel::ReadUntilOK(std::string& reply) {
    if (!BeginRead(reply)) {
        return NoPort();
    }
    // Without reads that return at once the wait for "OK" could not be bounded.
    if (!m_serial->Properties.Has(comm::kCapIntervalTimeouts)) {
        return {LinkEnd::Failed, {}};
    }
    reply.reserve(kReplyCap);
    ResultScan scan = ResultScan::Anywhere();
    return ReadInto(reply, kOkReadSize, m_context.Clock().Now() + kOkBound, &scan);
}

void ModemChannel::DiscardInput() {
    if (!m_serial || !m_serial->IsOpen() || !m_serial->Handle || m_serial->Handle->Lost()) {
        return;
    }
    // Bounded for a card that never stops talking; a failure shows at the write.
    std::array<char, kReplyReadSize> buffer;
    for (std::size_t dropped = 0; dropped < 4 * kReplyCap;) {
        std::size_t got = 0;
        if (!m_serial->Handle->Read(std::span<char>(buffer), &got) || got == 0) {
            return;
        }
        dropped += got;
    }
}

LinkResult ModemChannel::ReadResult(std::string& reply, bool echoed) {
    if (!BeginRead(reply)) {
        return NoPort();
    }
    if (!m_serial->Properties.Has(comm::kCapIntervalTimeouts)) {
        return {LinkEnd::Failed, {}};
    }
    reply.reserve(kReplyCap);
    ResultScan scan = ResultScan::AfterEcho(echoed ? m_lastCommand : std::string());
    return ReadInto(reply, kOkReadSize, m_context.Clock().Now() + kOkBound, &scan);
}

LinkResult ModemChannel::ProbePort(const std::string& portName) {
    ContextWaitCursor wait(m_context);
    LinkResult opened = OpenPortByName(portName);
    if (!opened) {
        return {LinkEnd::Failed, OneLine(opened.reason)};
    }
    comm::SerialDevice& device = *m_serial->Handle;
    const std::string where = res::Fill(res::Tr("%1 on %2"), {portName, device.Describe()});
    auto& clock = m_context.Clock();
    // Straight to the device: a failed probe write asks nothing.
    device.Write(std::string_view(kWakeUpSequence, kWakeUpProbeLength));
    clock.Sleep(kCommandPause);
    device.Write("AT&F\r\n");
    clock.Sleep(kCommandPause);
    device.Write("ATE0Q0V1\r\n");
    clock.Sleep(kCommandPause);
    bool identified = device.Write("ATI3\r\n");
    clock.Sleep(kCommandPause);
    if (!identified) {
        ClearError();
        return {LinkEnd::Failed, OneLine(m_linkError)};
    }
    std::string reply;
    LinkResult read = ReadReply(reply);
    if (reply.find(res::LoadString(res::IDS_CARD_IDENT)) != std::string::npos) {
        return {};
    }
    if (!read.reason.empty()) {
        return {LinkEnd::Failed, OneLine(read.reason)};
    }
    if (reply.find_first_not_of("\r\n \t") == std::string::npos) {
        return {LinkEnd::Failed, res::Fill(res::Tr("%1: no answer"), {where})};
    }
    return {
        LinkEnd::Failed,
        res::Fill(res::Tr("%1: something answered, but not the card (another modem?)"), {where})};
}

}  // namespace zo::link
