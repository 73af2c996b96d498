// The real zo-config on a real X server with a window manager, talking to zo-cardsim on a
// pseudo-terminal: proves by the screen's pixels that the windows paint while the card
// conversation runs. The offscreen platform paints whatever the event loop does, so only
// a real server shows these faults.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include <QGuiApplication>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "res/ResourceIds.h"
#include "res/ui/Artwork.h"
#include "support/ProgramRun.h"
#include "x11/PixelProbe.h"
#include "x11/ProgramOnCard.h"
#include "x11/XSession.h"

using namespace zo;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Where this run keeps its screenshots.
std::string g_shots;

long Ms(Clock::duration d) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

void Save(const QImage& image, const std::string& name) {
    image.save(QString::fromStdString(g_shots + "/" + name + ".png"));
}

// A store whose profile "Home" was applied before, so the program opens the configuration
// window at once, with the first query behind the splash; a simulated card on a link.
class LiveProgram : public test::ProgramOnCard {
protected:
    LiveProgram() : ProgramOnCard("zo-x11-XXXXXX") {}

    static void SetUpTestSuite() {
        // Kept for a person to look at after the run, in the build tree, each run afresh.
        g_shots = ZO_BUILD_DIR "/x11-shots";
        std::filesystem::remove_all(g_shots);
        std::filesystem::create_directories(g_shots);
    }
    static void TearDownTestSuite() {
        std::cout << "real-window screenshots are in " << g_shots << "\n";
    }

    void SetUp() override {
        ProgramOnCard::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        const std::string reg = m_dir + "/home.reg";
        std::ofstream(reg) << "REGEDIT4\n\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Home]\n"
                              "\"Location\"=\"Home\"\n"
                              "\"Switch\"=\"National ISDN-1 (NI-1)\"\n"
                              "\"Phone1\"=\"2065550100\"\n"
                              "\"SPID1\"=\"20655501000101\"\n"
                              "\"Port\"=\"COM1\"\n"
                              "\"Baud\"=\"38400\"\n"
                              "\"Bits\"=\"8\"\n"
                              "\"Parity\"=\"None\"\n"
                              "\"Stop\"=\"1\"\n"
                              "\"Flow\"=\"Hardware\"\n\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\CURRENT\\Home]\n";
        const test::Outcome imported = test::RunProgram(
            std::string(ZO_CONFIG_BIN) + " --registry " + m_dir + "/store.db import " + reg, m_dir);
        ASSERT_EQ(imported.code, 0) << imported.err;
    }
};

constexpr const char* kSheetTitle = "^Kest Ferronix ZO!\\(tm\\) Series Configuration$";

TEST_F(LiveProgram, SplashPaintsWithinATenthOfASecondAndStaysPaintedForTheWholeFirstQuery) {
    const QImage picture = res::LoadBitmap(res::IDB_SPLASH).toImage();
    ASSERT_FALSE(picture.isNull());
    StartProgram();

    // The splash is the program's first window and has no title.
    unsigned long splash = 0;
    const auto start = Clock::now();
    while (!splash && Clock::now() - start < 20s) {
        std::istringstream ids(test::TheX().XDo("search --onlyvisible --class zo-config"));
        ids >> splash;
        if (!splash)
            std::this_thread::sleep_for(2ms);
    }
    ASSERT_NE(splash, 0u) << "no window of zo-config appeared";
    const auto mapped = Clock::now();
    const QRect area = test::TheX().Geometry(splash);

    // Judged by screenshots begun within 100 ms of the mapping.
    std::optional<QPoint> at;
    QImage shot;
    long paintedMs = -1;
    for (auto taken = Clock::now(); !at && taken - mapped <= 100ms; taken = Clock::now()) {
        shot = test::TheX().Grab();
        at = test::FindPicture(shot, area, picture);
        paintedMs = Ms(taken - mapped);
    }
    Save(shot, "splash-first");
    if (!at) {
        Save(picture, "splash-expected");
        while (!at && Clock::now() - mapped < 5s) {
            at = test::FindPicture(test::TheX().Grab(), area, picture);
        }
        FAIL() << "the splash did not show its picture within 100 ms of mapping ("
               << (at ? "it came after " + std::to_string(Ms(Clock::now() - mapped)) + " ms"
                      : std::string("not at all"))
               << ")";
    }
    const long firstPaintMs = paintedMs;

    // Every look while the splash is up finds the picture, until the configuration window
    // takes over.
    int looks = 0;
    while (test::TheX().Windows(kSheetTitle).empty() && Clock::now() - mapped < 60s) {
        if (test::TheX().Geometry(splash).isEmpty()) {
            break;
        }
        shot = test::TheX().Grab();
        if (test::TheX().Windows(kSheetTitle).empty() && !test::TheX().Geometry(splash).isEmpty()) {
            ++looks;
            ASSERT_TRUE(test::FindPicture(shot, area, picture).has_value())
                << "the splash lost its picture after " << Ms(Clock::now() - mapped) << " ms";
        }
        std::this_thread::sleep_for(200ms);
    }
    const long shownMs = Ms(Clock::now() - mapped);
    EXPECT_GE(looks, 5) << "the first query was too short to watch the splash";
    EXPECT_NE(test::TheX().AwaitWindow(kSheetTitle, 30s), 0u);
    EXPECT_NE(CardLog().find("ATI3"), std::string::npos) << "the card was never asked";
    std::cout << "splash painted " << firstPaintMs << " ms after mapping, kept its picture for "
              << looks << " looks over " << shownMs << " ms\n";
}

TEST_F(LiveProgram, DuringApplyTheProgressBarGrowsAndTheGlobeTurns) {
    StartProgram();
    const unsigned long sheet = test::TheX().AwaitWindow(kSheetTitle, 60s);
    ASSERT_NE(sheet, 0u);
    // The first query ends with the splash gone; the card is quiet after it.
    std::this_thread::sleep_for(1500ms);
    test::TheX().Activate(sheet);
    const QRect sheetArea = test::TheX().Geometry(sheet);
    const QImage before = test::TheX().Grab();
    Save(before, "apply-before");
    test::TheX().Key("alt+a");

    const unsigned long progress = test::TheX().AwaitWindow("^Progress$", 10s);
    ASSERT_NE(progress, 0u) << "Alt+A showed no progress window";
    const auto shown = Clock::now();
    const QRect progressArea = test::TheX().Geometry(progress);
    const QRect barArea = progressArea.adjusted(4, 4, -4, -4);

    std::vector<int> fills;
    int globeLooks = 0;
    int globeTurns = 0;
    int hollow = 0;
    QImage last;
    auto lastAt = Clock::now();
    while (!test::TheX().Windows("^Progress$").empty() && Clock::now() - shown < 90s) {
        const QImage shot = test::TheX().Grab();
        const auto now = Clock::now();
        if (test::TheX().Windows("^Progress$").empty()) {
            break;
        }
        if (now - shown > 100ms && test::ChangedShare(before, shot, progressArea) < 0.2) {
            ++hollow;
            Save(shot, "apply-hollow-" + std::to_string(hollow));
        }
        const int fill = test::FilledPixels(shot, barArea);
        if (fills.empty() || fill != fills.back()) {
            fills.push_back(fill);
        }
        if (!last.isNull() && now - lastAt >= 500ms) {
            ++globeLooks;
            if (test::ChangedShare(last, shot, sheetArea, progressArea) > 0.0005) {
                ++globeTurns;
            }
            last = shot;
            lastAt = now;
        }
        if (last.isNull()) {
            last = shot;
            lastAt = now;
            Save(shot, "apply-during");
        }
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(hollow, 0) << "the progress window showed the sheet beneath it";
    int growths = 0;
    for (std::size_t i = 1; i < fills.size(); ++i) {
        growths += fills[i] > fills[i - 1] ? 1 : 0;
    }
    EXPECT_GE(growths, 3) << "the progress bar did not grow from step to step";
    EXPECT_GE(globeLooks, 4);
    EXPECT_GE(globeTurns * 4, globeLooks * 3) << "the globe stood still during programming";
    EXPECT_NE(CardLog().find("AT&W"), std::string::npos) << "programming did not reach the card";
    std::cout << "progress bar grew " << growths << " times; globe moved in " << globeTurns
              << " of " << globeLooks << " half-second looks\n";
}

}  // namespace
