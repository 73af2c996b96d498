#include "bench/LinkBench.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/CardProcess.h"
#include "bench/CpuMeter.h"
#include "bench/ScratchStore.h"
#include "bench/SpinningDevice.h"
#include "cardsim/CardFaults.h"
#include "link/CardConfiguration.h"
#include "link/ModemChannel.h"
#include "link/PortScan.h"
#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "platform/comm/TtyDevice.h"
#include "platform/comm/UniqueFd.h"
#include "store/AppliedSave.h"
#include "store/ProfileStore.h"

namespace zo::bench {
namespace {

using std::chrono::milliseconds;

// The programming run waits for the card's "OK" after each command sent without a pause:
// ATE0Q0V1, ATI3, the switch type, the flow command, ATE1, AT&W and AT%Z1. After the four
// parameter commands the answer has come during the pause.
constexpr int kAnswersWaitedFor = 7;
constexpr int kLatencyExchanges = 500;
constexpr int kLatencyWarmUp = 20;

// The steady clock, counting the pauses taken on it.
class PauseCountingClock : public platform::SteadyClock {
public:
    void Sleep(milliseconds ms) override {
        paused += ms;
        SteadyClock::Sleep(ms);
    }
    milliseconds paused{0};
};

enum class Reader { Ours, Spinning };

const char* NameOf(Reader reader) {
    return reader == Reader::Ours ? "ours" : "spinning reference";
}

// COM1 on the terminal at `path`, through the program's device or the spinning one.
void MapPort(comm::PortMap& ports, const std::string& path, Reader reader) {
    if (reader == Reader::Ours) {
        ports.MapToPath("COM1", path);
        return;
    }
    ports.MapToDevice("COM1", [path](std::string* error) -> std::unique_ptr<comm::SerialDevice> {
        auto tty = comm::TtyDevice::Open(path, error);
        if (!tty) {
            return nullptr;
        }
        return std::make_unique<SpinningDevice>(std::move(tty));
    });
}

struct RunFigures {
    bool ok = false;
    double wallMs = 0;
    double cpuMs = 0;
    double demandedMs = 0;  // pauses, read windows and the card's own answer time
    double storeMs = 0;     // recording the applied profile in the store
};

struct Conversation {
    RunFigures probe;
    RunFigures programming;
};

bool Converse(Reader reader, Conversation* out, std::string* error) {
    auto card = CardProcess::Start(cardsim::kNormalAnswerDelay, error);
    if (!card) {
        return false;
    }
    comm::PortMap ports;
    MapPort(ports, card->Path(), reader);
    comm::SetPortMap(&ports);
    PauseCountingClock clock;
    platform::SetClock(&clock);
    ScratchStore store;
    {
        link::ModemChannel channel;
        link::SetDetectionSettings(channel, link::ScanCaller::Wizard);
        CpuMeter probe;
        out->probe.ok = channel.ProbePort("COM1").Ok();
        out->probe.wallMs = probe.WallMs();
        out->probe.cpuMs = probe.CpuMs();
        out->probe.demandedMs = double(clock.paused.count() + link::kReplyWindow.count());

        link::WorkingProfile profile;
        profile.TakeLine(channel.Line());
        profile.Location = "Bench";
        profile.Switch = "National ISDN-1 (NI-1)";
        profile.Phone1 = "2065550100";
        profile.SPID1 = "20655501000101";
        profile.TerminalCount = 1;
        clock.paused = milliseconds(0);
        link::NoProgressWindow progress;
        CpuMeter programming;
        link::CardConfiguration run(channel, progress, link::ProgressSteps::Wizard);
        out->programming.ok =
            run.Run(link::WizardCardSettings(profile)) == link::CardConfigurationResult::Applied;
        out->programming.wallMs = programming.WallMs();
        out->programming.cpuMs = programming.CpuMs();
        out->programming.demandedMs =
            double(clock.paused.count() + link::kReplyWindow.count() +
                   kAnswersWaitedFor * cardsim::kNormalAnswerDelay.count());
        // The run ends with one durable transaction on the store; the same again, alone.
        if (out->programming.ok) {
            CpuMeter record;
            store::SaveAppliedProfile({profile.Location, profile.Record(), {}});
            out->programming.storeMs = record.WallMs();
        }
    }
    platform::SetClock(nullptr);
    comm::SetPortMap(nullptr);
    return true;
}

std::string CpuShare(const RunFigures& f) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.3f %% (%.1f ms CPU in %.0f ms)%s", 100.0 * f.cpuMs / f.wallMs,
                  f.cpuMs, f.wallMs, f.ok ? "" : " FAILED");
    return buf;
}

std::int64_t MonotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The card side of the latency runs: answers every command line with "OK" at once and
// notes, in memory shared with the parent, when it wrote the answer.
[[noreturn]] void AnswerOk(int master, std::atomic<std::int64_t>* written, int count) {
    int answered = 0;
    char buf[256];
    for (;;) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, -1) < 0) {
            continue;
        }
        ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) {
            continue;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (buf[i] != '\r') {
                continue;
            }
            static constexpr char kOk[] = "\r\nOK\r\n";
            // Noted before the write: the reader cannot have the bytes any earlier.
            if (answered < count) {
                written[answered++].store(MonotonicNs(), std::memory_order_release);
            }
            std::size_t done = 0;
            while (done < sizeof kOk - 1) {
                ssize_t w = ::write(master, kOk + done, sizeof kOk - 1 - done);
                if (w > 0) {
                    done += std::size_t(w);
                }
            }
        }
    }
}

struct Latency {
    double medianUs = 0;
    double p99Us = 0;
    double maxUs = 0;
    int answered = 0;
};

bool MeasureOkLatency(Reader reader, Latency* out, std::string* error) {
    comm::UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    char name[128];
    if (!master.Valid() || ::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0 ||
        ::ptsname_r(master.Get(), name, sizeof name) != 0) {
        *error = "no pseudo-terminal";
        return false;
    }
    // Held open by the card side, so the line never hangs up between opens.
    comm::UniqueFd slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios t{};
    if (!slave.Valid() || ::tcgetattr(slave.Get(), &t) != 0) {
        *error = std::string(name) + ": cannot be opened";
        return false;
    }
    ::cfmakeraw(&t);
    ::tcsetattr(slave.Get(), TCSANOW, &t);
    const std::size_t bytes = sizeof(std::atomic<std::int64_t>) * kLatencyExchanges;
    void* shared =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        *error = "no shared memory";
        return false;
    }
    auto* written = new (shared) std::atomic<std::int64_t>[kLatencyExchanges];
    pid_t pid = ::fork();
    if (pid == 0) {
        AnswerOk(master.Get(), written, kLatencyExchanges);
    }
    master.Reset();
    std::vector<std::int64_t> returned(kLatencyExchanges, 0);
    comm::PortMap ports;
    MapPort(ports, name, reader);
    comm::SetPortMap(&ports);
    int answered = 0;
    {
        link::ModemChannel channel;
        link::SetDetectionSettings(channel, link::ScanCaller::Wizard);
        link::LineSettings line = channel.Line();
        line.port = "COM1";
        channel.SetLine(line);
        if (pid > 0 && channel.OpenConfiguredPort()) {
            std::string reply;
            for (; answered < kLatencyExchanges; ++answered) {
                if (!channel.SendText("AT\r\n") || !channel.ReadUntilOK(reply)) {
                    break;
                }
                returned[std::size_t(answered)] = MonotonicNs();
            }
        }
    }
    comm::SetPortMap(nullptr);
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    std::vector<double> us;
    for (int i = kLatencyWarmUp; i < answered; ++i) {
        us.push_back(double(returned[std::size_t(i)] - written[i].load()) / 1000.0);
    }
    ::munmap(shared, bytes);
    if (us.empty()) {
        *error = "no exchange completed";
        return false;
    }
    std::sort(us.begin(), us.end());
    out->medianUs = us[us.size() / 2];
    out->p99Us = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    out->maxUs = us.back();
    out->answered = int(us.size());
    return true;
}

}  // namespace

void RunConversationBench(Table& table) {
    Conversation runs[2];
    const Reader readers[2] = {Reader::Ours, Reader::Spinning};
    for (int i = 0; i < 2; ++i) {
        std::string error;
        if (!Converse(readers[i], &runs[i], &error)) {
            table.Add(std::string("card conversation (") + NameOf(readers[i]) + ")",
                      "not run: " + error);
            return;
        }
    }
    for (int i = 0; i < 2; ++i) {
        const bool ours = readers[i] == Reader::Ours;
        table.Add(std::string("CPU/wall, probe of one port (") + NameOf(readers[i]) + ")",
                  CpuShare(runs[i].probe), ours ? "<= 1 % of one core" : "");
        table.Add(std::string("CPU/wall, card programming run (") + NameOf(readers[i]) + ")",
                  CpuShare(runs[i].programming), ours ? "<= 1 % of one core" : "");
    }
    for (int i = 0; i < 2; ++i) {
        const bool ours = readers[i] == Reader::Ours;
        const auto& p = runs[i].probe;
        const auto& c = runs[i].programming;
        table.Add(std::string("probe beyond its ") + Ms(p.demandedMs) +
                      " of pauses and read window (" + NameOf(readers[i]) + ")",
                  Ms(p.wallMs - p.demandedMs), ours ? "<= 50 ms" : "");
        table.Add(std::string("programming beyond its ") + Ms(c.demandedMs) +
                      " of pauses, read window and card answers (" + NameOf(readers[i]) + ")",
                  Ms(c.wallMs - c.demandedMs) + ", of which " + Ms(c.storeMs) +
                      " recording the applied profile in the store (one durable transaction)",
                  ours ? "<= 50 ms" : "");
    }
}

void RunOkLatencyBench(Table& table) {
    for (Reader reader : {Reader::Ours, Reader::Spinning}) {
        Latency l;
        std::string error;
        const std::string what =
            std::string("last byte of \"OK\" to ReadUntilOK returning (") + NameOf(reader) + ")";
        if (!MeasureOkLatency(reader, &l, &error)) {
            table.Add(what, "not run: " + error);
            continue;
        }
        char buf[96];
        std::snprintf(buf, sizeof buf, "median %s, p99 %s, max %s over %d", Us(l.medianUs).c_str(),
                      Us(l.p99Us).c_str(), Us(l.maxUs).c_str(), l.answered);
        table.Add(what, buf, reader == Reader::Ours ? "p99 < 1 ms" : "");
    }
}

}  // namespace zo::bench
