// The configuration window on the real clock against zo-cardsim on a pseudo-terminal: the
// simulator is killed and started again on the same link while the window is open, as a
// card is pulled out and put back. The product page shows the card again at its next
// refresh, and Apply programs it.
#include <signal.h>

#include <QLineEdit>
#include <QtTest>

#include "platform/comm/PortMap.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "summary/ui/SummarySheet.h"
#include "support/CardProcess.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "support/TestStore.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/SummaryFixture.h"

using namespace zo;

namespace {

QString Shown(summary::ProductPage& page, int id) {
    return qobject_cast<QLineEdit*>(page.ControlWidget(id))->text();
}

}  // namespace

class CardReturnPtyTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowFindsTheCardAgainAfterItCameBack() {
        test::TestStore store;
        test::ScriptedPrompter prompter;
        const std::string link = store.Dir() + "/card", log = store.Dir() + "/card.log",
                          nvram = store.Dir() + "/nvram";
        test::CardProcess card;
        card.KeepMemoryIn(nvram);
        QVERIFY2(card.Start(ZO_CARDSIM_BIN, link, log), "zo-cardsim did not come up");

        comm::PortMap ports;
        ports.MapToPath("COM3", link);
        test::TestApp app{{nullptr, &ports, nullptr}};
        {
            store::Profile r{"Office",     "National ISDN-1 (NI-1)",
                             "2065550100", "20655501000101",
                             "COM3",       "115200",
                             "8",          "None",
                             "1",          "Hardware",
                             "",           "",
                             false};
            store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
            QVERIFY(store::WriteProfile(key, r));
        }
        auto sheet = std::make_unique<summary::SummarySheet>(res::LoadString(res::IDS_TITLE));
        sheet->SetChannel(&app.Channel());
        sheet->SetWorkingProfile(&app.Profile());
        sheet->SetSheetRunner(&app);
        sheet->SetStartProfile("Office");
        QVERIFY(sheet->Create());
        auto& page = sheet->m_productPage;
        sheet->SetActivePage(1);
        QCOMPARE(Shown(page, res::IDC_PRODUCT_NAME), QString("Ferronix ZO!(tm) Series PC Card"));

        // Pulled out: the next refresh cannot reach it (the write prompt is answered
        // Cancel) and the line state becomes unknown.
        card.Stop(SIGKILL);
        QVERIFY2(card.AwaitLink(false), "the killed card's terminal is gone");
        const int served = page.RequestsServed();
        QTRY_VERIFY_WITH_TIMEOUT(page.RequestsServed() > served && !page.Refreshing(), 30000);
        QCOMPARE(page.SignShown(), int(res::IDB_SIGN_YIELD));
        QCOMPARE(Shown(page, res::IDC_LINE_STATUS), QString());
        QCOMPARE(Shown(page, res::IDC_PRODUCT_NAME), QString("Ferronix ZO!(tm) Series PC Card"));

        // Put back on the same link: the next refresh shows the card.
        QVERIFY2(card.Start(ZO_CARDSIM_BIN, link, log), "zo-cardsim did not come back");
        const int before = page.RequestsServed();
        QTRY_VERIFY_WITH_TIMEOUT(
            page.RequestsServed() > before && page.SignShown() == res::IDB_SIGN_STOP, 30000);
        QCOMPARE(Shown(page, res::IDC_LINE_STATUS), QString(" Physical Interface Inactive"));

        // And Apply programs it.
        sheet->PressButton(ui::PropertySheet::Button::Apply);
        QCOMPARE(store::ActiveProfileName().Value(), std::string("Office"));
        const std::string lines = test::Slurp(log);
        QVERIFY(lines.find("AT!C2=\"20655501000101\"") != std::string::npos);
        QVERIFY(lines.find("AT&W") != std::string::npos);
        for (const std::string& text : prompter.texts) {
            QCOMPARE(text, res::LoadString(res::IDS_PORT_WRITE_FAILED));
        }
        QVERIFY(prompter.unexpected.size() == prompter.texts.size());

        sheet->DestroyWindow();
        sheet.reset();
        app.Channel().ClosePort();
    }
};

ZO_QTEST(CardReturnPtyTest)
#include "CardReturnPtyTest.moc"
