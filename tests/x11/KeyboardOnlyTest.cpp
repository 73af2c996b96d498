// The real zo-config on a real X server with a window manager, driven with the keyboard
// alone, as a user without a mouse would: typing, Tab and Return through the first start,
// then the configuration window's tab keys, Alt+A and Esc. Each step is proved by the
// card's log, the windows the server shows and the banner's place on the screen.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
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

constexpr const char* kWizardTitle = "^Kest Ferronix ZO!\\(tm\\) Series Wizard$";
constexpr const char* kSheetTitle = "^Kest Ferronix ZO!\\(tm\\) Series Configuration$";

// A fresh, empty store and a simulated card on COM1: the program starts with the wizard.
class KeyboardOnly : public test::ProgramOnCard {
protected:
    KeyboardOnly() : ProgramOnCard("zo-x11-keys-XXXXXX") {}

    void SetUp() override {
        ProgramOnCard::SetUp();
        if (!HasFatalFailure()) {
            StartProgram();
        }
    }

    static std::size_t Count(const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
            ++n;
        }
        return n;
    }

    // Waits until the window's content, the turning globe left out, has changed from
    // `before`, holds still and takes input again (its banner in colour, not greyed by a
    // conversation's hold): the next page is on view.
    static bool AwaitNewPage(const QImage& before, const QRect& area,
                             std::chrono::milliseconds limit) {
        const QRect globe = Globe(area);
        const auto start = Clock::now();
        QImage last;
        while (Clock::now() - start < limit) {
            const QImage shot = test::TheX().Grab();
            if (test::ChangedShare(before, shot, area, globe) > 0.01) {
                if (!last.isNull() && test::ChangedShare(last, shot, area, globe) < 0.001 &&
                    Banner(shot, area)) {
                    return true;
                }
                last = shot;
            }
            std::this_thread::sleep_for(150ms);
        }
        return false;
    }

    // Waits until the window, its turning globe left out, has held still and shows its
    // banner in colour; where.
    static std::optional<QPoint> AwaitLiveBanner(const QRect& area) {
        const auto start = Clock::now();
        while (Clock::now() - start < 30s) {
            test::TheX().AwaitSettled(area, 10s, 400ms, Globe(area));
            if (const std::optional<QPoint> at = Banner(test::TheX().Grab(), area)) {
                return at;
            }
            std::this_thread::sleep_for(100ms);
        }
        return std::nullopt;
    }

    // The wizard's turning globe: the top right of its window.
    static QRect Globe(const QRect& area) {
        return QRect(area.x() + area.width() * 6 / 10, area.y(), area.width() * 4 / 10,
                     area.height() / 2);
    }

    // Where the page's banner shows inside the window, if it does.
    static std::optional<QPoint> Banner(const QImage& shot, const QRect& area) {
        static const QImage banner = res::LoadBitmap(res::IDB_BANNER).toImage();
        return test::FindPicture(shot, area, banner);
    }

    // Takes the wizard from its first page to the commit page with keys alone, naming
    // the profile "Home"; the wizard's window, 0 on failure (the test's failure said).
    unsigned long ReachCommitPage() {
        // The wizard opens with the proposed name selected in the focused field: typing
        // replaces it. Tab reaches the check box on the page before any button, and Return
        // there is Next.
        const unsigned long wizard = test::TheX().AwaitWindow(kWizardTitle, 30s);
        EXPECT_NE(wizard, 0u) << "no wizard came up";
        if (wizard == 0) {
            return 0;
        }
        test::TheX().Activate(wizard);
        const QRect wizardArea = test::TheX().Geometry(wizard);
        EXPECT_TRUE(AwaitLiveBanner(wizardArea)) << "the wizard shows no banner";
        QImage shot = test::TheX().Grab();
        test::TheX().Type("Home");
        test::TheX().Key("Tab");
        test::TheX().Key("Return");
        if (!AwaitNewPage(shot, wizardArea, 10s)) {
            ADD_FAILURE() << "Return did not leave the first page";
            return 0;
        }
        // The switch type page proposes NI-1; the numbers page takes the digits in its
        // first field and moves on by itself; Return searches the ports and finds the card.
        shot = test::TheX().Grab();
        test::TheX().Key("Return");
        if (!AwaitNewPage(shot, wizardArea, 10s)) {
            ADD_FAILURE() << "Return did not leave the switch page";
            return 0;
        }
        test::TheX().Type("2065550100");
        // The page greys while the search holds it; a key pressed then would be thrown away.
        shot = test::TheX().Grab();
        test::TheX().Key("Return");
        if (!AwaitNewPage(shot, wizardArea, 60s)) {
            ADD_FAILURE() << "the numbers page stayed";
            return 0;
        }
        return wizard;
    }
};

TEST_F(KeyboardOnly, FirstStartThenTabsApplyAndClose) {
    ASSERT_NE(ReachCommitPage(), 0u);
    // The commit page: Return is Finish, which programs the card.
    test::TheX().Key("Return");
    const unsigned long sheet = test::TheX().AwaitWindow(kSheetTitle, 120s);
    ASSERT_NE(sheet, 0u) << "the configuration window did not follow the wizard";
    const std::string programmed = CardLog();
    EXPECT_NE(programmed.find("20655501000101"), std::string::npos)
        << "the card never got the SPID typed for";
    EXPECT_NE(programmed.find("AT&W"), std::string::npos) << "the card was not programmed";

    // The configuration window: its first query runs behind the splash.
    test::TheX().Activate(sheet);
    const QRect sheetArea = test::TheX().Geometry(sheet);
    const std::optional<QPoint> configure = AwaitLiveBanner(sheetArea);
    ASSERT_TRUE(configure) << "no banner on the Configure tab";
    // Return on "Configure" is no button of the page: no New wizard comes up.
    test::TheX().Key("Return");
    test::TheX().AwaitSettled(QRect(0, 0, 1024, 768), 10s, 1s, Globe(sheetArea));
    EXPECT_TRUE(test::TheX().Windows(kWizardTitle).empty())
        << "Return on Configure started the wizard";
    // "Product Info" shows the banner further right; each key pair goes there and back.
    for (const auto& [there, back] :
         {std::pair<const char*, const char*>{"ctrl+Tab", "ctrl+shift+Tab"},
          {"ctrl+Next", "ctrl+Prior"}}) {
        test::TheX().Key(there);
        const std::optional<QPoint> product = AwaitLiveBanner(sheetArea);
        ASSERT_TRUE(product) << there << " showed no page with the banner";
        EXPECT_GT(product->x(), configure->x()) << there << " did not reach \"Product Info\"";
        test::TheX().Key(back);
        const std::optional<QPoint> again = AwaitLiveBanner(sheetArea);
        ASSERT_TRUE(again);
        EXPECT_EQ(*again, *configure) << back << " did not come back to \"Configure\"";
    }

    // Alt+A applies the profile: the card is programmed once more.
    const std::size_t writes = Count(CardLog(), "AT&W");
    test::TheX().Key("alt+a");
    const auto applied = Clock::now();
    while (Count(CardLog(), "AT&W") == writes && Clock::now() - applied < 90s) {
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_GT(Count(CardLog(), "AT&W"), writes) << "Alt+A did not program the card";
    for (int i = 0; i < 300 && !test::TheX().Windows("^Progress$").empty(); ++i) {
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(AwaitLiveBanner(sheetArea)) << "the window stayed held after Apply";

    // Esc closes the window and with it the program.
    test::TheX().Activate(sheet);
    test::TheX().Key("Escape");
    int status = -1;
    const auto closing = Clock::now();
    while (Clock::now() - closing < 20s && ::waitpid(m_program, &status, WNOHANG) == 0) {
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_TRUE(WIFEXITED(status)) << "Esc did not end the program";
    m_program = -1;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The title bar's close while Finish programs the card: the card is programmed and the
// profile saved once, no question comes, no configuration window follows, the program ends.
TEST_F(KeyboardOnly, TitleBarCloseDuringFinishEndsTheProgram) {
    const unsigned long wizard = ReachCommitPage();
    ASSERT_NE(wizard, 0u);
    const std::size_t logged = CardLog().size();
    test::TheX().Key("Return");
    const auto finished = Clock::now();
    while (CardLog().find("AT!C2=", logged) == std::string::npos && Clock::now() - finished < 60s) {
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_NE(CardLog().find("AT!C2=", logged), std::string::npos) << "Return did not Finish";
    test::TheX().CloseFromTitleBar(wizard);

    int status = -1;
    bool sheetShown = false;
    const auto closing = Clock::now();
    while (Clock::now() - closing < 90s && ::waitpid(m_program, &status, WNOHANG) == 0) {
        sheetShown = sheetShown || !test::TheX().Windows(kSheetTitle).empty();
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_FALSE(sheetShown) << "the configuration window opened after the close";
    ASSERT_TRUE(WIFEXITED(status)) << "the program did not end after Finish";
    m_program = -1;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Count(CardLog().substr(logged), "AT&W"), 1u) << CardLog();
    const test::Outcome listed = test::RunProgram(
        std::string(ZO_CONFIG_BIN) + " --registry " + m_dir + "/store.db profiles", m_dir);
    EXPECT_NE(listed.out.find("* Home"), std::string::npos) << listed.out;
}

}  // namespace
