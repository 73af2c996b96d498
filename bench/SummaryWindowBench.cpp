#include "bench/SummaryWindowBench.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "app/ConfigApp.h"
#include "bench/AnsweringCard.h"
#include "bench/ScratchStore.h"
#include "bench/StoreBench.h"
#include "cardsim/InProcessCard.h"
#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "summary/ui/SummarySheet.h"

namespace zo::bench {
namespace {

using Steady = std::chrono::steady_clock;

constexpr int kRefreshesPerDay = 24 * 60 * 60 / 5;
constexpr std::chrono::seconds kRefreshBudget{60};
constexpr int kRefreshWarmUp = 200;

double MsSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// The program's resident memory now, from VmRSS.
double ResidentMb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

void DrainEvents() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

enum class CardKind { Simulated, Answering };

// A fresh store with `profiles` on COM3, an in-process card there, a virtual clock and
// the application object whose channel the window uses.
class WindowRig {
public:
    WindowRig(int profiles, CardKind kind) {
        FillProfiles(profiles);
        platform::SetClock(&clock);
        ports.MapToDevice("COM3",
                          kind == CardKind::Simulated ? card.Opener() : answeringCard.Opener());
        comm::SetPortMap(&ports);
    }
    ~WindowRig() {
        Close();
        app.Channel().ClosePort();
        comm::SetPortMap(nullptr);
        platform::SetClock(nullptr);
    }
    // Opens the window as the start-up does, with "Location 0" shown.
    bool Open() {
        sheet = std::make_unique<summary::SummarySheet>(res::LoadString(res::IDS_TITLE));
        sheet->SetChannel(&app.Channel());
        sheet->SetWorkingProfile(&app.Profile());
        sheet->SetSheetRunner(&app);
        sheet->SetStartProfile("Location 0");
        return sheet->Create();
    }
    void Close() {
        if (sheet) {
            sheet->DestroyWindow();
            sheet.reset();
        }
    }

    ScratchStore store;
    platform::VirtualClock clock;
    comm::PortMap ports;
    cardsim::InProcessCard card{clock};
    AnsweringCard answeringCard{clock};
    app::ConfigApp app;
    std::unique_ptr<summary::SummarySheet> sheet;
};

double OpenMs(int profiles, bool* ok) {
    WindowRig rig(profiles, CardKind::Simulated);
    DrainEvents();
    auto start = Steady::now();
    *ok = rig.Open();
    // Until the window has been painted.
    QCoreApplication::processEvents();
    return MsSince(start);
}

}  // namespace

void RunConfigPageBench(Table& table) {
    // The first window of a process pays for fonts and styles; open one before measuring.
    bool ok = false;
    OpenMs(10, &ok);
    bool ok10 = false, ok1000 = false;
    const double ms10 = OpenMs(10, &ok10);
    const double ms1000 = OpenMs(1000, &ok1000);
    table.Add(
        "configuration window open on \"Configure\", 10 profiles (card query on a "
        "virtual clock)",
        Ms(ms10) + (ok10 ? "" : " FAILED"));
    char ratio[96];
    std::snprintf(ratio, sizeof ratio, " (%.1f times the time at 10 for 100 times the profiles)",
                  ms1000 / ms10);
    table.Add("configuration window open on \"Configure\", 1,000 profiles",
              Ms(ms1000) + ratio + (ok1000 ? "" : " FAILED"), "< 50 ms; growth <= linear");
}

void RunProductPageBench(Table& table) {
    // The simulated card keeps every line it receives; this one keeps nothing.
    WindowRig rig(1, CardKind::Answering);
    if (!rig.Open()) {
        table.Add("product page over a day of refreshes", "not run: the window did not open");
        return;
    }
    rig.sheet->SetActivePage(rig.sheet->IndexOfTemplate(res::IDD_PRODUCT));
    summary::ProductPage& page = rig.sheet->m_productPage;
    auto refresh = [&] {
        const int served = page.RequestsServed();
        rig.clock.Advance(std::chrono::seconds(5));
        page.OnTimer();
        while (page.RequestsServed() == served) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    };
    const double atOpen = ResidentMb();
    for (int i = 0; i < kRefreshWarmUp; ++i) {
        refresh();
    }
    const double afterWarmUp = ResidentMb();
    const long answeredBefore = rig.answeringCard.CommandsAnswered();
    auto start = Steady::now();
    int done = 0;
    while (done < kRefreshesPerDay && Steady::now() - start < kRefreshBudget) {
        refresh();
        ++done;
    }
    const double seconds = MsSince(start) / 1000.0;
    const double atEnd = ResidentMb();
    const long commands = rig.answeringCard.CommandsAnswered() - answeredBefore;
    char buf[240];
    std::snprintf(buf, sizeof buf,
                  "%.1f MB at open, %.1f MB after %d refreshes, %.1f MB after %d more with %ld "
                  "card commands (%+.2f MB)",
                  atOpen, afterWarmUp, kRefreshWarmUp, atEnd, done, commands, atEnd - afterWarmUp);
    std::string what = "resident memory of \"Product Info\" over ";
    if (done < kRefreshesPerDay) {
        char part[160];
        std::snprintf(part, sizeof part,
                      "%d of a day's %d five-second refreshes (%.0f s real; a whole day would "
                      "take %.0f s, extrapolated: %+.2f MB)",
                      done, kRefreshesPerDay, seconds, seconds * kRefreshesPerDay / done,
                      (atEnd - afterWarmUp) * kRefreshesPerDay / done);
        what += part;
    } else {
        char part[96];
        std::snprintf(part, sizeof part, "a day's %d five-second refreshes (%.0f s real)",
                      kRefreshesPerDay, seconds);
        what += part;
    }
    table.Add(what, buf, "no growth");
}

}  // namespace zo::bench
