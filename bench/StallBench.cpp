#include "bench/StallBench.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/CardProcess.h"
#include "bench/ScratchStore.h"
#include "cardsim/CardModel.h"
#include "link/CardConfiguration.h"
#include "link/CardSettings.h"
#include "link/IdentificationQuery.h"
#include "link/ModemChannel.h"
#include "link/PortScan.h"
#include "link/ProgressWindow.h"
#include "platform/comm/PortMap.h"
#include "platform/ui/conversation/Conversation.h"

namespace zo::bench {
namespace {

constexpr int kWatchdogMs = 5;

// Runs `conversation` from inside an event loop with a watchdog timer turning beside it,
// and returns the timer's worst lateness in milliseconds.
double WorstStallMs(const std::function<void()>& conversation) {
    QEventLoop loop;
    QTimer watchdog;
    watchdog.setTimerType(Qt::PreciseTimer);
    watchdog.setInterval(kWatchdogMs);
    QElapsedTimer since;
    qint64 worstNs = 0;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        worstNs = std::max(worstNs, since.nsecsElapsed() - kWatchdogMs * 1'000'000LL);
        since.restart();
    });
    QTimer::singleShot(0, [&] {
        since.start();
        watchdog.start();
        conversation();
        // The tick the conversation held up, if any, lands before the loop ends.
        QTimer::singleShot(2 * kWatchdogMs, &loop, &QEventLoop::quit);
    });
    loop.exec();
    return double(worstNs) / 1e6;
}

struct Stall {
    const char* name;
    std::function<bool(link::ModemChannel&)> talk;  // true when the card took part
};

}  // namespace

void RunStallBench(Table& table) {
    std::string error;
    auto card = CardProcess::Start(cardsim::kNormalAnswerDelay, &error);
    if (!card) {
        table.Add("event-loop stall", "not measured: " + error);
        return;
    }
    comm::PortMap ports;
    ports.MapToPath("COM1", card->Path());
    comm::SetPortMap(&ports);
    ScratchStore store;

    const Stall stalls[] = {
        {"probe",
         [](link::ModemChannel& channel) {
             link::SetDetectionSettings(channel, link::ScanCaller::Wizard);
             return channel.ProbePort("COM1").Ok();
         }},
        {"programming",
         [](link::ModemChannel& channel) {
             link::SetDetectionSettings(channel, link::ScanCaller::Wizard);
             link::WorkingProfile profile;
             profile.TakeLine(channel.Line());
             profile.Location = "Bench";
             profile.Switch = "National ISDN-1 (NI-1)";
             profile.Phone1 = "2065550100";
             profile.SPID1 = "20655501000101";
             profile.TerminalCount = 1;
             profile.Port = "COM1";
             channel.SetLine(profile.Line());
             link::NoProgressWindow progress;
             link::CardConfiguration run(channel, progress, link::ProgressSteps::Wizard);
             return run.Run(link::WizardCardSettings(profile)) ==
                    link::CardConfigurationResult::Applied;
         }},
        {"first query",
         [](link::ModemChannel& channel) {
             link::SetQuerySettings(channel, "COM1");
             std::string raw;
             return link::QueryIdentification(channel, &raw) ==
                    link::IdentificationResult::Identified;
         }},
        {"refresh",
         [](link::ModemChannel& channel) {
             std::string reply;
             bool answered = true;
             for (const char* command : {"AT&F\r\n", "ATE1Q0V1\r\n", "ATI9\r\n", "ATI10\r\n"}) {
                 answered = channel.SendText(command) && channel.ReadUntilOK(reply) && answered;
             }
             return answered;
         }},
    };
    for (const Stall& stall : stalls) {
        std::fprintf(stderr, "zo-bench: event-loop stall during the %s\n", stall.name);
        double blocking = 0;
        double ours = 0;
        bool blockingOk = false;
        bool oursOk = false;
        {
            link::ModemChannel channel;
            if (std::string(stall.name) == "refresh") {
                link::SetQuerySettings(channel, "COM1");
                channel.OpenConfiguredPort();
            }
            blocking = WorstStallMs([&] { blockingOk = stall.talk(channel); });
        }
        {
            link::ModemChannel channel;
            if (std::string(stall.name) == "refresh") {
                link::SetQuerySettings(channel, "COM1");
                channel.OpenConfiguredPort();
            }
            ours = WorstStallMs([&] {
                oursOk = ui::RunConversation([&] { return stall.talk(channel); }).value_or(false);
            });
        }
        const char* failed = " (the conversation failed)";
        table.Add(std::string("event-loop stall, ") + stall.name + " (ours)",
                  Ms(ours) + (oursOk ? "" : failed), "<= 50 ms");
        table.Add(std::string("event-loop stall, ") + stall.name + " (blocking call)",
                  Ms(blocking) + (blockingOk ? "" : failed));
    }
    comm::SetPortMap(nullptr);
}

}  // namespace zo::bench
