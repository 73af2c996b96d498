// A second start of the windows for a store whose windows are open, on a real X server
// with a window manager: it ends at once with 0 and the open window comes to the front,
// past another program's window that had the keyboard. A copy killed outright does not
// keep the next start from opening the windows.
#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/ProgramRun.h"
#include "x11/ProgramOnCard.h"
#include "x11/XSession.h"

using namespace zo;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kWizardTitle = "^Kest Ferronix ZO!\\(tm\\) Series Wizard$";

class SecondStart : public test::ProgramOnCard {
protected:
    SecondStart() : ProgramOnCard("zo-x11-second-XXXXXX") {}

    void TearDown() override {
        if (m_other > 0) {
            ::kill(m_other, SIGKILL);
            ::waitpid(m_other, nullptr, 0);
        }
        ProgramOnCard::TearDown();
    }

    static unsigned long ActiveWindow() {
        return std::stoul("0" + test::TheX().XDo("getactivewindow"));
    }

    // A window other than `known` with the wizard's title, once one shows.
    static unsigned long AwaitOtherWizard(unsigned long known, std::chrono::seconds limit) {
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            for (unsigned long window : test::TheX().Windows(kWizardTitle)) {
                if (window != known) {
                    return window;
                }
            }
            std::this_thread::sleep_for(50ms);
        }
        return 0;
    }

    // A start that would open windows of its own is cut short by `timeout`.
    std::string ProgramLine(const std::string& store, const char* prefix = "") const {
        return "cd " ZO_BUILD_DIR " && exec " + std::string(prefix) +
               "env -u QT_QPA_PLATFORM DISPLAY=" + test::TheX().Display() +
               " " ZO_CONFIG_BIN " --registry " + m_dir + "/" + store + " --port COM1=" + m_dir +
               "/card";
    }

    pid_t m_other = -1;
};

TEST_F(SecondStart, RaisesTheOpenWindowAndEnds) {
    StartProgram();
    const unsigned long first = test::TheX().AwaitWindow(kWizardTitle, 30s);
    ASSERT_NE(first, 0u) << "no wizard came up";
    // Another store has windows of its own, and they take the keyboard.
    m_other = test::TheX().Spawn({"sh", "-c", ProgramLine("other.db")}, m_dir + "/other.out");
    const unsigned long other = AwaitOtherWizard(first, 30s);
    ASSERT_NE(other, 0u) << "a second store's windows did not open beside the first's";
    test::TheX().Activate(other);
    ASSERT_EQ(ActiveWindow(), other);

    const auto start = Clock::now();
    const test::Outcome second = test::RunProgram(ProgramLine("store.db", "timeout 20 "), m_dir);
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_LT(Clock::now() - start, 5s) << "the second start lingered";
    auto deadline = Clock::now() + 5s;
    while (ActiveWindow() != first && Clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(ActiveWindow(), first) << "the open wizard did not become the active window";
    EXPECT_EQ(test::TheX().Windows(kWizardTitle).size(), 2u) << "the second start opened a window";

    // Killed outright, the first copy leaves its lock and socket files; the next start
    // opens the windows all the same.
    ::kill(m_program, SIGKILL);
    ::waitpid(m_program, nullptr, 0);
    m_program = -1;
    deadline = Clock::now() + 10s;
    while (test::TheX().Windows(kWizardTitle).size() != 1 && Clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    StartProgram();
    EXPECT_NE(AwaitOtherWizard(other, 30s), 0u) << "a killed copy kept the windows from opening";
}

}  // namespace
