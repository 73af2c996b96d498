#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/LineSettings.h"
#include "link/LinkContext.h"
#include "link/LinkResult.h"
#include "link/SerialPort.h"

namespace zo::link {

// The wake-up bytes with their terminating zero: the probe writes all six, SendText
// stops at the zero and writes five.
inline constexpr char kWakeUpSequence[] = "\x0D\xAA\x54\x0D\x0A";
inline constexpr std::size_t kWakeUpProbeLength = sizeof kWakeUpSequence;

// The pause after every built command and after each probe write.
inline constexpr std::chrono::milliseconds kCommandPause{2000};
// ReadReply collects for exactly this long, on the steady clock.
inline constexpr std::chrono::milliseconds kReplyWindow{5000};
// ReadUntilOK gives up this long after it started. The card answers a command within a
// fraction of a second and a slow one within a few; twice the reply window leaves room
// for that while a device that never says "OK" costs no more than one probe.
inline constexpr std::chrono::milliseconds kOkBound{10000};
// Replies are cut at this many characters; the rest is read and dropped.
inline constexpr std::size_t kReplyCap = 16384;
inline constexpr std::size_t kReplyReadSize = 2048;
inline constexpr std::size_t kOkReadSize = 1024;

// The program's one route to the card: a port and its line settings, handed in before
// an open.
// Seams, from the context it is made with: the clock (pauses, read windows and bounds), the
// port map (through SerialPort), the prompter (messages 111 and 109 when OpenConfiguredPort
// fails, 110 with Retry or Cancel when a write fails; the wait cursor). Thread: one at a
// time; in the windows the pages' user-interface thread, or the conversation worker while
// it waits.
class ModemChannel {
public:
    explicit ModemChannel(LinkContext context = {});
    ~ModemChannel();
    ModemChannel(const ModemChannel&) = delete;
    ModemChannel& operator=(const ModemChannel&) = delete;

    // What the channel talks to the card through, for those that talk through it.
    const LinkContext& Context() const { return m_context; }

    // What the next open uses; an open port keeps its settings until it is opened again.
    void SetLine(const LineSettings& line) { m_line = line; }
    const LineSettings& Line() const { return m_line; }

    // Every open, write and read returns how it ended and, when the device failed or the
    // port did not open, why: the device, the system's error and a hint, for the detail
    // under a message.

    // Opens the port named by the line settings (reusing the open one when its name is the
    // same), reporting failures with messages 111 and 109, then applies the line settings.
    LinkResult OpenConfiguredPort();
    // Sets the port, opens it quietly (never reused afterwards) and applies the line
    // settings. Shows nothing.
    LinkResult OpenPortByName(const std::string& portName);
    // Writes the text, then pauses kCommandPause. A failed write asks Retry or Cancel
    // (message 110); Failed only on Cancel or when no port is open.
    LinkResult SendCommand(const std::string& text);
    // Writes the text up to its first zero byte, with no pause; failures as SendCommand.
    LinkResult SendText(std::string_view text);
    // Collects everything that arrives for kReplyWindow: Ok when at least one byte came,
    // TimedOut when none did.
    LinkResult ReadReply(std::string& reply);
    // Collects until the text contains "OK"; Refused when the card answers "ERROR" (a line
    // of its own), Failed on a read failure, TimedOut at kOkBound.
    LinkResult ReadUntilOK(std::string& reply);
    // For a command whose answer decides: drops what the card sent before it is written,
    // without waiting, so that nothing left from an earlier command is read as its answer.
    void DiscardInput();
    // Collects the answer to the last command written until its result: "OK" or "ERROR" as
    // a line of its own, after the command's echo when `echoed`. Earlier lines, and "OK"
    // inside other text, are no result. Ends otherwise as ReadUntilOK.
    LinkResult ReadResult(std::string& reply, bool echoed);
    // The last command written, without its line end, for messages about its answer.
    const std::string& LastCommand() const { return m_lastCommand; }
    // The card probe on one port: Ok when the card identified itself there, else Failed
    // with why, on one line naming the port and device: absent, forbidden (and what to do),
    // held by another program, not a terminal, no answer, or an answer that was not the
    // card's.
    LinkResult ProbePort(const std::string& portName);
    // The command line says why an open failed once, with message 111 and its reason,
    // where the windows follow it with message 109.
    void ReportOpenFailureOnce() { m_openFailureReportedOnce = true; }

    // Counts the devices opened: a change during a conversation means the card went away
    // and what answers now is a fresh device that has not heard the earlier commands.
    int DeviceOpens() const { return m_deviceOpens; }
    // Counts the write-failure questions asked, during which the user's event loop ran.
    int WritePrompts() const { return m_writePrompts; }

    // The open port, if any. Every operation but the opens returns FALSE at once without
    // it, unless a port was lost: then the next operation opens that port afresh.
    const SerialPort* Device() const { return m_serial.get(); }
    // Closes the open port; the next open starts afresh.
    void ClosePort() { m_serial.reset(); }

private:
    LinkResult OpenPort(OpenMode mode);
    bool ApplyLineSettings();
    LinkResult Write(std::string_view bytes, bool pause);
    // What ends a read before its deadline; none for ReadReply.
    struct ResultScan;
    LinkResult ReadInto(std::string& reply, std::size_t readSize,
                        platform::Clock::TimePoint deadline, ResultScan* scan);
    void ClearError();
    // Empties `reply`; false when no port is open (a lost one is forgotten first).
    bool BeginRead(std::string& reply);
    // An operation that found no port open fails for the reason the port went, if known.
    LinkResult NoPort() const { return {LinkEnd::Failed, m_linkError}; }
    // Closes and forgets a port whose device has gone, keeping what it takes to open it
    // again; true when a port is open afterwards, reopened if need be.
    void ForgetLostPort();
    bool EnsurePort();
    void NoteDeviceFailure();

    LinkContext m_context;
    LineSettings m_line;
    std::unique_ptr<SerialPort> m_serial;
    std::string m_linkError;
    std::string m_lastCommand;
    bool m_openFailureReportedOnce = false;
    int m_deviceOpens = 0;
    int m_writePrompts = 0;
    // A port closed because its device went away: its name, whether it was opened by name
    // (and so may be reused), and the line settings it had.
    struct LostPort {
        std::string portName;
        std::string name;
        comm::LineState state;
    };
    std::optional<LostPort> m_lost;
};

}  // namespace zo::link
