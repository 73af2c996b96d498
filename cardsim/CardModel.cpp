#include "cardsim/CardModel.h"

#include <cctype>
#include <utility>

namespace zo::cardsim {
namespace {

constexpr std::size_t kMaxLine = 256;
constexpr std::size_t kMaxValue = 20;
// Endless output runs at about the line's rate: 64 bytes every 5 ms.
constexpr std::chrono::milliseconds kEndlessPeriod{5};
constexpr std::uint64_t kEndlessChunk = 64;
constexpr std::uint64_t kEndlessBacklog = 65536;

const char* SwitchName(int code) {
    switch (code) {
        case 0:
            return "AT&T 5ESS";
        case 1:
            return "DMS100";
        case 32:
            return "NI-1";
        default:
            return "none";
    }
}

// Reads decimal digits at `i`; `fallback` when there are none.
int Number(std::string_view s, std::size_t& i, int fallback) {
    if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) {
        return fallback;
    }
    int n = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        n = n > 100000 ? n : n * 10 + (s[i] - '0');
        ++i;
    }
    return n;
}

// Whether the command line begins with `head`; never for an empty head.
bool Begins(std::string_view command, const std::string& head) {
    return !head.empty() && command.substr(0, head.size()) == head;
}

}  // namespace

CardModel::CardModel(platform::Clock& clock, std::string nvramPath)
    : m_clock(clock), m_nvram(std::move(nvramPath)), m_active(m_nvram.Load()) {}

void CardModel::Unplug() {
    m_hungUp = true;
    m_output.clear();
}

void CardModel::Replug() {
    m_hungUp = false;
    m_faults.hangUpAfter = -1;
    m_commandsAnswered = 0;
    m_output.clear();
    m_line.clear();
    m_lineOverflow = false;
    m_endlessSince.reset();
    m_endlessSent = 0;
    m_behind = false;
    m_held.clear();
    m_active = m_nvram.Load();
    m_echo = true;
    m_quiet = false;
    m_verbose = true;
}

void CardModel::Queue(std::string bytes, std::chrono::milliseconds delay) {
    if (bytes.empty()) {
        return;
    }
    auto due = m_clock.Now() + delay;
    // The line is one queue: nothing overtakes what was sent before it.
    if (!m_output.empty() && m_output.back().due >= due) {
        m_output.back().bytes += bytes;
        return;
    }
    m_output.push_back(Chunk{due, std::move(bytes)});
}

void CardModel::Receive(std::string_view bytes) {
    if (m_hungUp) {
        return;
    }
    std::string echo;
    for (char c : bytes) {
        if (!m_held.empty() && m_line.empty() && c != '\r' && c != '\n' && c != '\0') {
            // The answer held back goes out as the next line begins, before its echo.
            Queue(std::move(echo), std::chrono::milliseconds(0));
            echo.clear();
            Queue(std::exchange(m_held, {}), m_faults.answerDelay);
        }
        if (m_echo && !m_faults.silent && !m_endlessSince) {
            echo += c;
        }
        if (c == '\r') {
            Queue(std::move(echo), std::chrono::milliseconds(0));
            echo.clear();
            ProcessLine(m_line);
            m_line.clear();
            m_lineOverflow = false;
            if (m_hungUp) {
                return;
            }
        } else if (c == '\n' || c == '\0') {
            continue;
        } else if (m_line.size() < kMaxLine) {
            m_line += c;
        } else {
            m_lineOverflow = true;
        }
    }
    Queue(std::move(echo), std::chrono::milliseconds(0));
}

void CardModel::ProcessLine(const std::string& line) {
    if (line.empty()) {
        return;
    }
    // A simulated card may run for days; its record of lines stays bounded.
    if (m_lines.size() >= kLineHistory) {
        m_lines.erase(m_lines.begin(), m_lines.begin() + kLineHistory / 2);
    }
    m_lines.push_back(line);
    if (m_observer) {
        m_observer(line);
    }
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if ((line[i] == 'A' && line[i + 1] == 'T') || (line[i] == 'a' && line[i + 1] == 't')) {
            at = i;
            break;
        }
    }
    if (at == std::string::npos) {
        return;
    }
    if (m_faults.hangUpAfter >= 0 && m_commandsAnswered >= m_faults.hangUpAfter) {
        m_hungUp = true;
        m_output.clear();
        return;
    }
    ++m_commandsAnswered;
    if (m_faults.endlessOutput) {
        if (!m_endlessSince) {
            m_endlessSince = m_clock.Now();
        }
        return;
    }
    if (m_faults.silent) {
        return;
    }
    std::string info;
    const std::string_view command = std::string_view(line).substr(at);
    bool ok = !m_lineOverflow && !m_faults.errorForEverything && !Refuses(command) &&
              RunCommands(command.substr(2), &info);
    m_behind = m_behind || Begins(command, m_faults.behindFrom);
    if (m_behind) {
        m_held = info + Result(ok);
        return;
    }
    const auto delay =
        Begins(command, m_faults.lateCommand) ? kLateAnswerDelay : m_faults.answerDelay;
    Queue(info + Result(ok), delay);
    if (Begins(command, m_faults.extraOkAfter)) {
        Queue(Result(true), delay + kExtraOkDelay);
    }
}

bool CardModel::Refuses(std::string_view command) const {
    if (Begins(command, m_faults.refuseCommand)) {
        return true;
    }
    if (!m_faults.refuseSettings) {
        return false;
    }
    std::string upper(command);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (const char* setting : {"!C", "!N", "&K", "&W"}) {
        if (upper.find(setting) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool CardModel::RunCommands(std::string_view s, std::string* info) {
    std::size_t i = 0;
    while (i < s.size()) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i++])));
        char next =
            i < s.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(s[i]))) : '\0';
        switch (c) {
            case ' ':
                break;
            case 'E':
            case 'Q':
            case 'V': {
                int n = Number(s, i, 0);
                if (n > 1) {
                    return false;
                }
                (c == 'E' ? m_echo : c == 'Q' ? m_quiet : m_verbose) = n == 1;
                break;
            }
            case 'Z':
                if (Number(s, i, 0) != 0) {
                    return false;
                }
                m_active = m_nvram.Load();
                m_echo = true;
                m_quiet = false;
                m_verbose = true;
                break;
            case 'I': {
                std::string text = Info(Number(s, i, 0));
                if (text.empty()) {
                    return false;
                }
                *info += Framed(text);
                break;
            }
            case '&':
                ++i;
                if (next == 'F') {
                    m_active = CardProfile{};
                    m_echo = true;
                    m_quiet = false;
                    m_verbose = true;
                } else if (next == 'W') {
                    if (Number(s, i, 0) != 0 || !m_nvram.Store(m_active)) {
                        return false;
                    }
                    if (m_active.Configured()) {
                        m_activationStart = m_clock.Now();
                    }
                } else if (next == 'K') {
                    int n = Number(s, i, 0);
                    if (n != 0 && n != 3 && n != 4) {
                        return false;
                    }
                    m_active.flow = n;
                } else {
                    return false;
                }
                break;
            case '!': {
                ++i;
                if (next != 'C' && next != 'N') {
                    return false;
                }
                int index = Number(s, i, -1);
                if (index < 0 || i >= s.size() || s[i] != '=') {
                    return false;
                }
                ++i;
                if (next == 'C' && index == 0) {
                    int code = Number(s, i, -1);
                    if (code != 0 && code != 1 && code != 32) {
                        return false;
                    }
                    m_active.switchType = code;
                    break;
                }
                if (i >= s.size() || s[i] != '"') {
                    return false;
                }
                std::size_t close = s.find('"', i + 1);
                if (close == std::string_view::npos ||
                    !SetParameter(next, index, s.substr(i + 1, close - i - 1))) {
                    return false;
                }
                i = close + 1;
                break;
            }
            case '%':
                ++i;
                if (next != 'Z' || Number(s, i, -1) != 1) {
                    return false;
                }
                if (m_nvram.Load().Configured()) {
                    m_activationStart = m_clock.Now();
                }
                break;
            default:
                return false;
        }
    }
    return true;
}

bool CardModel::SetParameter(char kind, int index, std::string_view value) {
    if (value.size() > kMaxValue) {
        return false;
    }
    for (char c : value) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    std::string* field = nullptr;
    if (kind == 'N' && index == 1) {
        field = &m_active.dn1;
    } else if (kind == 'C' && index == 2) {
        field = &m_active.spid1;
    } else if (kind == 'N' && index == 2) {
        field = &m_active.dn2;
    } else if (kind == 'C' && index == 6) {
        field = &m_active.spid2;
    }
    if (!field) {
        return false;
    }
    *field = std::string(value);
    return true;
}

std::string CardModel::LinkState() const {
    if (!m_nvram.Load().Configured()) {
        return " Physical Interface Inactive";
    }
    if (m_activationStart && m_clock.Now() < *m_activationStart + kActivationTime) {
        return " Activating";
    }
    return " Active";
}

std::string CardModel::Info(int n) const {
    switch (n) {
        case 0:
            return "ZO-128";
        case 3:
            return m_faults.wrongIdentification ? "Kest Ferronix ZO! series ISDN PC Card"
                                                : "Kest Ferronix ZO! Series ISDN PC Card";
        case 9:
            return "Product Name: Ferronix ZO!(tm) Series PC Card\r\n"
                   "Software Revision: 2.10\r\n"
                   "Software Release Date: 03/14/97";
        case 10: {
            CardProfile stored = m_nvram.Load();
            return std::string("Switch Type: ") + SwitchName(stored.switchType) +
                   "\r\nDN 1: " + stored.dn1 + "\r\nSPID 1: " + stored.spid1 +
                   "\r\nDN 2: " + stored.dn2 + "\r\nSPID 2: " + stored.spid2 +
                   "\r\nLink Status:" + LinkState();
        }
        default:
            return {};
    }
}

std::string CardModel::Framed(const std::string& text) const {
    return m_verbose ? "\r\n" + text + "\r\n" : text + "\r\n";
}

std::string CardModel::Result(bool ok) const {
    if (m_quiet || (ok && m_faults.neverOk)) {
        return {};
    }
    if (m_verbose) {
        return ok                     ? "\r\nOK\r\n"
               : m_faults.okInRefusal ? "\r\nNO OK\r\n\r\nERROR\r\n"
                                      : "\r\nERROR\r\n";
    }
    return ok ? "0\r" : "4\r";
}

void CardModel::GenerateEndless(std::string* out) {
    auto elapsed = m_clock.Now() - *m_endlessSince;
    std::uint64_t due = (static_cast<std::uint64_t>(elapsed / kEndlessPeriod) + 1) * kEndlessChunk;
    if (due > m_endlessSent + kEndlessBacklog) {
        m_endlessSent = due - kEndlessBacklog;
    }
    for (; m_endlessSent < due; ++m_endlessSent) {
        std::uint64_t pos = m_endlessSent % kEndlessChunk;
        *out += pos == kEndlessChunk - 2   ? '\r'
                : pos == kEndlessChunk - 1 ? '\n'
                                           : static_cast<char>('0' + pos % 10);
    }
}

std::string CardModel::TakeDueOutput() {
    std::string out;
    if (m_hungUp) {
        return out;
    }
    const auto now = m_clock.Now();
    while (!m_output.empty() && m_output.front().due <= now) {
        out += m_output.front().bytes;
        m_output.pop_front();
    }
    if (m_endlessSince) {
        GenerateEndless(&out);
    }
    return out;
}

std::optional<platform::Clock::TimePoint> CardModel::NextOutputDue() const {
    std::optional<platform::Clock::TimePoint> next;
    if (!m_output.empty()) {
        next = m_output.front().due;
    }
    if (m_endlessSince && !m_hungUp) {
        auto t =
            *m_endlessSince + kEndlessPeriod * static_cast<long>(m_endlessSent / kEndlessChunk);
        if (!next || t < *next) {
            next = t;
        }
    }
    return next;
}

}  // namespace zo::cardsim
