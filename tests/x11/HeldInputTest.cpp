// What the user's input does while zo-config talks to the card, on a real X server with a
// window manager: a card that keeps silent never leaves the configuration window deaf.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "support/ProgramRun.h"
#include "x11/PixelProbe.h"
#include "x11/ProgramOnCard.h"
#include "x11/XSession.h"

using namespace zo;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kSheetTitle = "^Kest Ferronix ZO!\\(tm\\) Series Configuration$";

long Ms(Clock::duration d) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

std::string Profile(const std::string& name, const std::string& spid) {
    return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\" + name +
           "]\n"
           "\"Location\"=\"" +
           name +
           "\"\n"
           "\"Switch\"=\"National ISDN-1 (NI-1)\"\n"
           "\"Phone1\"=\"2065550100\"\n"
           "\"SPID1\"=\"" +
           spid +
           "\"\n"
           "\"Port\"=\"COM1\"\n\"Baud\"=\"38400\"\n\"Bits\"=\"8\"\n\"Parity\"=\"None\"\n"
           "\"Stop\"=\"1\"\n\"Flow\"=\"Hardware\"\n\n";
}

class HeldInput : public test::ProgramOnCard {
protected:
    HeldInput() : ProgramOnCard("/tmp/zo-x11-held-XXXXXX") {}

    // "Home" applied before and "Work" beside it: the window opens at once on "Home".
    void StoreTwoProfiles() {
        const std::string reg = m_dir + "/two.reg";
        std::ofstream(reg) << "REGEDIT4\n\n"
                           << Profile("Home", "20655501000101") << Profile("Work", "20655501000202")
                           << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\CURRENT\\Home]\n";
        const test::Outcome imported = test::RunProgram(
            std::string(ZO_CONFIG_BIN) + " --registry " + m_dir + "/store.db import " + reg, m_dir);
        ASSERT_EQ(imported.code, 0) << imported.err;
    }

    // Waits until the card has heard nothing new for `quiet`.
    void AwaitCardQuiet(std::chrono::milliseconds quiet = 1500ms) const {
        std::string last = CardLog();
        auto since = Clock::now();
        const auto start = Clock::now();
        while (Clock::now() - since < quiet && Clock::now() - start < 60s) {
            std::this_thread::sleep_for(100ms);
            std::string now = CardLog();
            if (now != last) {
                last = std::move(now);
                since = Clock::now();
            }
        }
    }

    // The configuration page's turning globe: the top right of the window.
    static QRect GlobeOf(const QRect& area) {
        return QRect(area.x() + area.width() * 6 / 10, area.y(), area.width() * 4 / 10,
                     area.height() / 2);
    }

    // The program's end within `limit`: its exit status, or -1.
    int AwaitExit(std::chrono::seconds limit) {
        int status = 0;
        const auto start = Clock::now();
        while (Clock::now() - start < limit) {
            if (::waitpid(m_program, &status, WNOHANG) == m_program) {
                m_program = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
            }
            std::this_thread::sleep_for(100ms);
        }
        return -1;
    }
};

// A card that keeps silent while "Product Info" refreshes: another tab shows at once, and
// Esc closes the window at once, whatever the card does.
TEST_F(HeldInput, ASilentCardNeverLeavesTheWindowDeaf) {
    StoreTwoProfiles();
    StartProgram();
    const unsigned long sheet = test::TheX().AwaitWindow(kSheetTitle, 60s);
    ASSERT_NE(sheet, 0u);
    AwaitCardQuiet();
    test::TheX().Activate(sheet);
    const QRect area = test::TheX().Geometry(sheet);
    test::TheX().Key("ctrl+Tab");
    // The first refresh answers; then the card stops and the next refresh waits on it.
    std::this_thread::sleep_for(6s);
    m_card.Signal(SIGSTOP);
    std::this_thread::sleep_for(6s);

    const QImage before = test::TheX().Grab();
    const auto pressed = Clock::now();
    test::TheX().Key("ctrl+Tab");
    long switchedMs = -1;
    while (switchedMs < 0 && Clock::now() - pressed < 15s) {
        if (test::ChangedShare(before, test::TheX().Grab(), area) > 0.05) {
            switchedMs = Ms(Clock::now() - pressed);
        }
    }
    EXPECT_GE(switchedMs, 0) << "the tab did not change";
    EXPECT_LT(switchedMs, 1000) << "the tab changed only after " << switchedMs << " ms";

    // Back on "Product Info", a refresh waits again; Esc closes the window.
    test::TheX().Key("ctrl+shift+Tab");
    std::this_thread::sleep_for(6s);
    const auto escaped = Clock::now();
    test::TheX().Key("Escape");
    long closedMs = -1;
    while (closedMs < 0 && Clock::now() - escaped < 15s) {
        if (test::TheX().Windows(kSheetTitle).empty()) {
            closedMs = Ms(Clock::now() - escaped);
        }
    }
    m_card.Signal(SIGCONT);
    EXPECT_GE(closedMs, 0) << "Esc did not close the window";
    EXPECT_LT(closedMs, 1000) << "the window closed only after " << closedMs << " ms";
    EXPECT_EQ(AwaitExit(30s), 0);
    std::cout << "tab switched after " << switchedMs << " ms, window closed after " << closedMs
              << " ms, with the card silent\n";
}

// The title bar's close while Apply programs the card: programming ends, the profile is
// recorded as applied, no question comes, and the program ends; the card is written once.
TEST_F(HeldInput, TitleBarCloseDuringApplyEndsTheProgramOnceTheProfileIsApplied) {
    StoreTwoProfiles();
    StartProgram();
    const unsigned long sheet = test::TheX().AwaitWindow(kSheetTitle, 60s);
    ASSERT_NE(sheet, 0u);
    AwaitCardQuiet();
    test::TheX().Activate(sheet);
    // The profile list has the focus: Down chooses "Work".
    test::TheX().Key("Down");
    ASSERT_TRUE(test::TheX().AwaitSettled(test::TheX().Geometry(sheet), 10s, 400ms,
                                          GlobeOf(test::TheX().Geometry(sheet))));
    const std::size_t logged = CardLog().size();
    test::TheX().Key("alt+a");
    const auto applied = Clock::now();
    while (CardLog().find("AT!C2=\"20655501000202\"", logged) == std::string::npos &&
           Clock::now() - applied < 60s) {
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_NE(CardLog().find("AT!C2=\"20655501000202\"", logged), std::string::npos)
        << "Alt+A did not program \"Work\"";
    test::TheX().CloseFromTitleBar(sheet);

    EXPECT_EQ(AwaitExit(90s), 0) << "the program did not end after programming";
    const std::string log = CardLog().substr(logged);
    std::size_t writes = 0;
    for (auto at = log.find("AT&W"); at != std::string::npos; at = log.find("AT&W", at + 1)) {
        ++writes;
    }
    EXPECT_EQ(writes, 1u) << log;
    const test::Outcome listed = test::RunProgram(
        std::string(ZO_CONFIG_BIN) + " --registry " + m_dir + "/store.db profiles", m_dir);
    EXPECT_NE(listed.out.find("* Work"), std::string::npos) << listed.out;
}

}  // namespace
