// The start-up with the wizard on the real clock, against zo-cardsim on a pseudo-terminal:
// one walk through every page, as long as the card conversation really takes.
#include <signal.h>

#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "app/ConfigApp.h"
#include "platform/comm/PortMap.h"
#include "res/ResourceIds.h"
#include "store/ProfileStore.h"
#include "support/CardProcess.h"
#include "support/ScriptedPrompter.h"
#include "support/TestStore.h"
#include "support/ui/QtTestMain.h"
#include "wizard/ui/WizardSheet.h"

using namespace zo;

namespace {

// The program's start-up with its wizard run for real and driven from inside its modal
// loop; the configuration window that follows is only recorded.
class DrivenApp : public app::ConfigApp {
public:
    std::vector<std::string> captions;
    std::vector<int> wizardPages;
    int wizardResult = -1;

protected:
    int RunSheet(ui::PropertySheet& sheet) override {
        captions.push_back(sheet.Caption());
        auto* wizard = dynamic_cast<wizard::WizardSheet*>(&sheet);
        if (!wizard) {
            return ui::IDCANCEL;
        }
        QTimer::singleShot(0, [this, wizard] { Walk(*wizard); });
        wizardResult = sheet.DoModal();
        return wizardResult;
    }

private:
    void Type(wizard::WizardSheet& w, int id, const char* text) {
        auto* e = qobject_cast<QLineEdit*>(w.GetActivePage()->ControlWidget(id));
        e->selectAll();
        e->insert(text);
    }
    void Press(wizard::WizardSheet& w, ui::PropertySheet::Button b) {
        wizardPages.push_back(w.GetActiveIndex());
        w.PressButton(b);
    }
    void Walk(wizard::WizardSheet& w) {
        using B = ui::PropertySheet::Button;
        Press(w, B::Next);  // "My Office"
        Press(w, B::Next);  // National ISDN-1
        Type(w, res::IDC_AREA1, "206");
        Type(w, res::IDC_EXCHANGE1, "555");
        Type(w, res::IDC_LINE1, "0100");
        Press(w, B::Next);  // the search finds the card
        Press(w, B::Finish);
        if (!w.HasEnded()) {
            w.EndDialog(ui::IDCANCEL);
        }
    }
};

}  // namespace

class WizardPtyTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartProgramsTheCardOverAPseudoTerminal() {
        test::TestStore store;
        test::ScriptedPrompter prompter;
        const std::string link = store.Dir() + "/card", log = store.Dir() + "/card.log";
        test::CardProcess card;
        const bool ok = card.Start(ZO_CARDSIM_BIN, link, log);
        // Only COM2 exists; no real serial port is touched.
        comm::PortMap ports;
        ports.MapToPath("COM2", link);
        comm::SetPortMap(&ports);

        DrivenApp app;
        if (ok) {
            app.InitInstance();
        }
        comm::SetPortMap(nullptr);
        card.Stop(SIGTERM);
        QVERIFY2(ok, "zo-cardsim did not come up");

        QCOMPARE(app.wizardPages, (std::vector<int>{0, 1, 2, 4}));
        QCOMPARE(app.wizardResult, int(ui::ID_WIZFINISH));
        QCOMPARE(app.captions.size(), std::size_t(2));  // then the configuration window
        QVERIFY(prompter.texts.empty());
        QCOMPARE(store::ActiveProfileName().Value(), std::string("My Office"));
        store::Profile p = store::ReadProfile("My Office").Value();
        QCOMPARE(p.storedCount, std::size_t(10));
        QCOMPARE(p.At(store::kPort), std::string("COM2"));
        QCOMPARE(p.At(store::kSpid1), std::string("20655501000101"));
        std::ifstream in(log);
        std::stringstream lines;
        lines << in.rdbuf();
        QVERIFY(lines.str().find("AT!N1=\"5550100\"") != std::string::npos);
        QVERIFY(lines.str().find("AT&W") != std::string::npos);
    }
};

ZO_QTEST(WizardPtyTest)
#include "WizardPtyTest.moc"
