#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cardsim/CardFaults.h"
#include "cardsim/CardProfile.h"
#include "cardsim/Nvram.h"
#include "platform/clock/Clock.h"

namespace zo::cardsim {

// How long the line takes to come up after the settings are stored or the interface restarted.
inline constexpr std::chrono::seconds kActivationTime{8};

// The card's AT command interface: bytes in, bytes out, each output byte due at a time
// on the given clock. Commands end with a carriage return; line feeds and zero bytes are
// ignored, and a line without "AT" (the wake-up bytes) is dropped without an answer.
class CardModel {
public:
    explicit CardModel(platform::Clock& clock, std::string nvramPath = {});

    CardFaults& Faults() { return m_faults; }
    platform::Clock& ModelClock() { return m_clock; }

    void Receive(std::string_view bytes);
    // The output that has fallen due by now, in order.
    std::string TakeDueOutput();
    // When the next output falls due; none when nothing is pending.
    std::optional<platform::Clock::TimePoint> NextOutputDue() const;

    bool HungUp() const { return m_hungUp; }
    // The card is taken out (its line drops) and put back, or its power cycled: it starts
    // again from its stored settings, and a hang-up fault is spent.
    void Unplug();
    void Replug();
    // The lines received, without their carriage return, wake-up noise included: all of
    // them up to kLineHistory, after that the older half is dropped each time it fills.
    static constexpr std::size_t kLineHistory = 100000;
    const std::vector<std::string>& Lines() const { return m_lines; }
    // Called with every line received, as it arrives.
    void SetLineObserver(std::function<void(const std::string&)> observer) {
        m_observer = std::move(observer);
    }

    const CardProfile& Active() const { return m_active; }
    CardProfile Stored() const { return m_nvram.Load(); }
    // The link state as the card reports it after "Link Status:", with its leading blank.
    std::string LinkState() const;
    bool Echo() const { return m_echo; }

private:
    struct Chunk {
        platform::Clock::TimePoint due;
        std::string bytes;
    };

    void Queue(std::string bytes, std::chrono::milliseconds delay);
    void ProcessLine(const std::string& line);
    bool RunCommands(std::string_view commands, std::string* info);
    bool Refuses(std::string_view command) const;
    bool SetParameter(char kind, int index, std::string_view value);
    std::string Info(int n) const;
    std::string Framed(const std::string& text) const;
    std::string Result(bool ok) const;
    void GenerateEndless(std::string* out);

    platform::Clock& m_clock;
    Nvram m_nvram;
    CardFaults m_faults;
    CardProfile m_active;
    bool m_echo = true;
    bool m_quiet = false;
    bool m_verbose = true;
    std::string m_line;
    bool m_lineOverflow = false;
    std::deque<Chunk> m_output;
    std::vector<std::string> m_lines;
    std::function<void(const std::string&)> m_observer;
    int m_commandsAnswered = 0;
    bool m_hungUp = false;
    std::optional<platform::Clock::TimePoint> m_activationStart;
    // A card behind by one answer holds it here until the next line starts.
    bool m_behind = false;
    std::string m_held;
    std::optional<platform::Clock::TimePoint> m_endlessSince;
    std::uint64_t m_endlessSent = 0;
};

}  // namespace zo::cardsim
