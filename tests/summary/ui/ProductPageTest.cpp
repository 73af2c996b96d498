#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "res/ui/Artwork.h"
#include "store/ProfileStore.h"
#include "summary/ui/RawDataDialog.h"
#include "support/ui/ModalClicker.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/SummaryFixture.h"

using namespace zo;
using namespace std::chrono_literals;
using test::SummaryFixture;

namespace {

QString Shown(summary::ProductPage& page, int id) {
    return qobject_cast<QLineEdit*>(page.ControlWidget(id))->text();
}

// The picture on the sign is the shared one of its bitmap: a refresh never leaves a
// copy of its own behind.
bool ShowsBitmap(summary::ProductPage& page, int bitmap) {
    auto* label = qobject_cast<QLabel*>(page.ControlWidget(res::IDC_STATUS_SIGN));
    return page.SignShown() == bitmap &&
           label->pixmap().cacheKey() == res::LoadBitmap(bitmap).cacheKey();
}

// Asks the page for one refresh through its worker and waits until it has been served.
void Tick(summary::ProductPage& page) {
    const int served = page.RequestsServed();
    page.OnTimer();
    QTRY_COMPARE_WITH_TIMEOUT(page.RequestsServed(), served + 1, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!page.Refreshing(), 10000);
}

// One refresh started by hand, waited for: what it reported (1 done, 0 not sent), or -1
// when none could start.
long RefreshNow(summary::ProductPage& page) {
    long reported = -2;
    if (!page.StartRefresh([&reported](long result) { reported = result; })) {
        return -1;
    }
    for (int i = 0; i < 10000 && reported == -2; ++i) {
        QTest::qWait(1);
    }
    return reported;
}

// Waits, without letting the page's thread dispatch, until the worker has asked.
bool AskedWithoutServing(summary::ProductPage& page, int posted) {
    for (int i = 0; i < 10000 && page.RequestsPosted() == posted; ++i) {
        std::this_thread::sleep_for(1ms);
    }
    return page.RequestsPosted() == posted + 1;
}

// The configuration window open at start on "Office", the profile recorded as applied.
bool OpenWithOfficeApplied(SummaryFixture& f) {
    f.AddProfile("Office", "2065550100", "20655501000101");
    f.MarkApplied("Office");
    return f.Open();
}

}  // namespace

class ProductPageTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsAndSignComeFromTheRawText_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("sign");
        const QString ids =
            "ATI9\r\nProduct Name: ZO! Card\r\nSoftware Revision: 2.10\r\n"
            "Software Release Date: 03/14/97\r\nOK\r\n";
        QTest::newRow("inactive") << ids + "Link Status: Physical Interface Inactive\r\nOK\r\n"
                                  << "ZO! Card"
                                  << " Physical Interface Inactive" << int(res::IDB_SIGN_STOP);
        QTest::newRow("active") << ids + "Link Status: Active\r\nOK\r\n"
                                << "ZO! Card"
                                << " Active" << int(res::IDB_SIGN_ACTIVE);
        QTest::newRow("other") << ids + "Link Status: Activating\r\nOK\r\n"
                               << "ZO! Card"
                               << " Activating" << int(res::IDB_SIGN_YIELD);
        QTest::newRow("none") << QString() << QString() << QString() << int(res::IDB_SIGN_YIELD);
        QTest::newRow("value on the next line")
            << "Product Name:\r\n\r\n  Next Line Card\r\nLink Status: Active\r\n"
            << "Next Line Card"
            << " Active" << int(res::IDB_SIGN_ACTIVE);
        QTest::newRow("label at the very end")
            << "Link Status: Active\r\nProduct Name:" << QString() << " Active"
            << int(res::IDB_SIGN_ACTIVE);
    }

    void fieldsAndSignComeFromTheRawText() {
        QFETCH(QString, raw);
        QFETCH(QString, name);
        QFETCH(QString, line);
        QFETCH(int, sign);
        SummaryFixture f;
        QVERIFY(OpenWithOfficeApplied(f));
        f.Sheet().SetRawIdentification(raw.toStdString());
        f.TakeCardLines();
        f.Sheet().SetActivePage(1);
        auto& page = f.Sheet().m_productPage;
        QCOMPARE(Shown(page, res::IDC_PRODUCT_NAME), name);
        QCOMPARE(Shown(page, res::IDC_LINE_STATUS), line);
        QVERIFY(ShowsBitmap(page, sign));
        // Showing the page does not talk to the card.
        QCOMPARE(f.TakeCardLines(), std::vector<std::string>{});
    }

    void refreshesFollowTheCardAndTheSignTurnsGreen() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        QVERIFY(f.Open("Office"));
        auto& page = f.Sheet().m_productPage;
        f.Sheet().SetActivePage(1);
        QCOMPARE(Shown(page, res::IDC_PRODUCT_NAME), QString("Ferronix ZO!(tm) Series PC Card"));
        QCOMPARE(Shown(page, res::IDC_SOFTWARE_REVISION), QString("2.10"));
        QCOMPARE(Shown(page, res::IDC_RELEASE_DATE), QString("03/14/97"));
        QVERIFY(ShowsBitmap(page, res::IDB_SIGN_STOP));
        QVERIFY(page.WorkerRunning());
        QVERIFY(page.Ticking());

        // Apply from this tab stops the refresh first, then restarts it.
        f.Sheet().PressButton(ui::PropertySheet::Button::Apply);
        QCOMPARE(f.TakeTexts(), std::vector<std::string>{});
        QCOMPARE(f.Sheet().GetActiveIndex(), 1);
        QVERIFY(page.WorkerRunning());
        f.TakeCardLines();
        Tick(page);
        QCOMPARE(f.TakeCardLines(),
                 (std::vector<std::string>{"AT&F", "ATE1Q0V1", "ATI9", "ATI10"}));
        QCOMPARE(Shown(page, res::IDC_LINE_STATUS), QString(" Activating"));
        QVERIFY(ShowsBitmap(page, res::IDB_SIGN_YIELD));
        f.clock.Advance(10s);
        Tick(page);
        QCOMPARE(Shown(page, res::IDC_LINE_STATUS), QString(" Active"));
        QVERIFY(ShowsBitmap(page, res::IDB_SIGN_ACTIVE));
        QVERIFY2(f.Sheet().RawIdentification().find("ATI10") != std::string::npos,
                 "echo is on: the raw text holds the commands");
        // Hours of refreshes keep only the three shared pictures.
        for (int i = 0; i < 50; ++i) {
            f.card.Faults().wrongIdentification = i % 2;
            Tick(page);
            QVERIFY(ShowsBitmap(page, res::IDB_SIGN_ACTIVE));
        }
    }

    // The user gave up at the write prompt: the card cannot be reached, so its line state
    // is unknown; what it said about itself stays.
    void aFailedFirstSendKeepsTheIdentityButNotTheLineState() {
        SummaryFixture f;
        QVERIFY(OpenWithOfficeApplied(f));
        f.Sheet().SetActivePage(1);
        auto& page = f.Sheet().m_productPage;
        QVERIFY(ShowsBitmap(page, res::IDB_SIGN_STOP));
        const std::string raw = f.Sheet().RawIdentification();
        f.card.Faults().failingWrites = -1;
        f.prompter.answers = {platform::Answer::Cancel};
        QCOMPARE(RefreshNow(page), 0L);
        QCOMPARE(f.Sheet().RawIdentification(), raw);
        QCOMPARE(Shown(page, res::IDC_PRODUCT_NAME), QString("Ferronix ZO!(tm) Series PC Card"));
        QCOMPARE(Shown(page, res::IDC_LINE_STATUS), QString());
        QVERIFY(ShowsBitmap(page, res::IDB_SIGN_YIELD));
    }

    // The card vanishing at any point of a refresh ends it at once without a question; the
    // line state is unknown while it is gone, the identity and the stored profiles stay.
    // When it is back, the next refresh opens the port afresh and shows it again.
    void cardVanishingMidRefreshAndComingBack() {
        for (int commandsBeforeHangUp = 0; commandsBeforeHangUp < 4; ++commandsBeforeHangUp) {
            SummaryFixture f;
            QVERIFY(OpenWithOfficeApplied(f));
            f.Sheet().SetActivePage(1);
            auto& page = f.Sheet().m_productPage;
            int answered = 0;
            for (const std::string& line : f.card.Model().Lines()) {
                answered += line.find("AT") != std::string::npos;
            }
            f.card.Faults().hangUpAfter = answered + commandsBeforeHangUp;
            const auto before = f.clock.Now();
            QCOMPARE(RefreshNow(page), 1L);
            QVERIFY(f.clock.Now() - before < 1s);
            QCOMPARE(Shown(page, res::IDC_PRODUCT_NAME),
                     QString("Ferronix ZO!(tm) Series PC Card"));
            QCOMPARE(Shown(page, res::IDC_LINE_STATUS), QString());
            QVERIFY(ShowsBitmap(page, res::IDB_SIGN_YIELD));
            QCOMPARE(f.TakeTexts(), std::vector<std::string>{});
            QCOMPARE(store::ListProfileNames().Value(), std::vector<std::string>{"Office"});
            QCOMPARE(store::ActiveProfileName().Value(), std::string("Office"));

            f.card.Replug();
            f.TakeCardLines();
            QCOMPARE(RefreshNow(page), 1L);
            QCOMPARE(f.TakeCardLines(),
                     (std::vector<std::string>{"AT&F", "ATE1Q0V1", "ATI9", "ATI10"}));
            QCOMPARE(Shown(page, res::IDC_LINE_STATUS), QString(" Physical Interface Inactive"));
            QVERIFY(ShowsBitmap(page, res::IDB_SIGN_STOP));
            QCOMPARE(f.TakeTexts(), std::vector<std::string>{});
            QCOMPARE(f.card.OpenCount(), 2);
            f.Sheet().SetActivePage(0);
            QVERIFY(!page.WorkerRunning());
        }
    }

    // A card that takes commands but never says "OK" holds the link for one bound, not four.
    void aRefreshWithoutOkToTheResetAsksNoMore() {
        SummaryFixture f;
        QVERIFY(OpenWithOfficeApplied(f));
        f.Sheet().SetActivePage(1);
        auto& page = f.Sheet().m_productPage;
        f.card.Faults().neverOk = true;
        f.TakeCardLines();
        const auto before = f.clock.Now();
        QCOMPARE(RefreshNow(page), 1L);
        QVERIFY(f.clock.Now() - before <= 10s);
        QCOMPARE(f.TakeCardLines(), std::vector<std::string>{"AT&F"});
        QVERIFY(ShowsBitmap(page, res::IDB_SIGN_YIELD));
    }

    // Cancel at the write prompt of a refresh: the tick that came while the box was open is
    // dropped, so the box does not come straight back; the next refresh is a period away.
    void ticksDuringTheWritePromptAreDropped() {
        SummaryFixture f;
        QVERIFY(OpenWithOfficeApplied(f));
        f.Sheet().SetActivePage(1);
        auto& page = f.Sheet().m_productPage;
        f.card.Unplug();
        f.prompter.onAsk = [&page](const std::string&) { page.OnTimer(); };
        Tick(page);
        const int posted = page.RequestsPosted();
        QTest::qWait(300);
        QCOMPARE(page.RequestsPosted(), posted);
        QCOMPARE(f.TakeTexts(),
                 std::vector<std::string>{res::LoadString(res::IDS_PORT_WRITE_FAILED)});
        f.prompter.onAsk = nullptr;
        f.Sheet().SetActivePage(0);
        QVERIFY(!page.WorkerRunning());
    }

    // A card that never answers: the tick that came while the refresh waited does not start
    // the next one at once, so the refreshes never run back to back.
    void afterARefreshWithoutAnswerTheNextIsAFullPeriodAway() {
        SummaryFixture f;
        QVERIFY(OpenWithOfficeApplied(f));
        f.Sheet().SetActivePage(1);
        auto& page = f.Sheet().m_productPage;
        f.card.Faults().silent = true;
        f.card.Model().SetLineObserver([&page](const std::string& line) {
            if (line == "AT&F") {
                page.OnTimer();
            }
        });
        Tick(page);
        const int posted = page.RequestsPosted();
        QTest::qWait(300);
        QCOMPARE(page.RequestsPosted(), posted);
        QVERIFY(ShowsBitmap(page, res::IDB_SIGN_YIELD));
        QVERIFY(page.Ticking());
        f.card.Model().SetLineObserver(nullptr);
    }

    // Whatever the card does, the window stays live while a refresh waits for it: another
    // tab shows at once and the late answer is not shown; Apply meanwhile waits for the
    // refresh to end before it programs the card.
    void theWindowStaysLiveWhileARefreshWaitsForTheCard() {
        SummaryFixture f;
        QVERIFY(OpenWithOfficeApplied(f));
        f.Sheet().SetActivePage(1);
        auto& page = f.Sheet().m_productPage;
        std::atomic<bool> reached{false};
        std::atomic<bool> release{false};
        f.card.Model().SetLineObserver([&](const std::string& line) {
            if (line != "AT&F") {
                return;
            }
            reached = true;
            for (int i = 0; i < 3000 && !release; ++i) {
                std::this_thread::sleep_for(1ms);
            }
        });
        f.card.Model().Faults().wrongIdentification = true;
        const QString name = Shown(page, res::IDC_PRODUCT_NAME);
        page.OnTimer();
        QTRY_VERIFY_WITH_TIMEOUT(reached, 5000);
        QVERIFY(page.Refreshing());
        QVERIFY(f.Sheet().Widget()->isEnabled());
        f.Sheet().SetActivePage(2);
        QCOMPARE(f.Sheet().GetActiveIndex(), 2);
        QVERIFY(!page.WorkerRunning());
        release = true;
        QTRY_VERIFY_WITH_TIMEOUT(!page.Refreshing(), 5000);
        QCOMPARE(Shown(page, res::IDC_PRODUCT_NAME), name);

        // Apply while a refresh waits: the refresh's commands end before Apply's begin.
        f.card.Model().Faults().wrongIdentification = false;
        release = false;
        reached = false;
        f.Sheet().SetActivePage(1);
        page.OnTimer();
        QTRY_VERIFY_WITH_TIMEOUT(reached, 5000);
        f.TakeCardLines();
        QTimer::singleShot(50, [&release] { release = true; });
        f.Sheet().PressButton(ui::PropertySheet::Button::Apply);
        const std::vector<std::string> lines = f.TakeCardLines();
        QVERIFY(lines.size() > 4);
        QCOMPARE(std::vector<std::string>(lines.begin(), lines.begin() + 4),
                 (std::vector<std::string>{"ATE1Q0V1", "ATI9", "ATI10", "AT&F"}));
        QCOMPARE(std::count(lines.begin(), lines.end(), std::string("AT&W")), 1);
        QCOMPARE(f.TakeTexts(), std::vector<std::string>{});
        f.card.Model().SetLineObserver(nullptr);
    }

    void leavingThePageStopsTheWorkerAndComingBackStartsAnother() {
        SummaryFixture f;
        QVERIFY(OpenWithOfficeApplied(f));
        auto& page = f.Sheet().m_productPage;
        for (int round = 0; round < 3; ++round) {
            f.Sheet().SetActivePage(1);
            QVERIFY(page.WorkerRunning());
            Tick(page);
            f.Sheet().SetActivePage(round % 2 ? 0 : 2);
            QVERIFY(!page.WorkerRunning());
            QVERIFY(!page.Ticking());
            // A tick now reaches nobody.
            const int posted = page.RequestsPosted();
            page.OnTimer();
            QTest::qWait(20);
            QCOMPARE(page.RequestsPosted(), posted);
        }
        // Closing from another tab waits for nothing; closing from this one stops it.
        f.Sheet().SetActivePage(1);
        f.PressClose();
        QVERIFY(!page.WorkerRunning());
    }

    // The stop comes while the worker's request waits in the page's queue: the stop must
    // return, and the request must not refresh afterwards.
    void stopWithARequestOnItsWayNeitherHangsNorRefreshesLater() {
        SummaryFixture f;
        QVERIFY(OpenWithOfficeApplied(f));
        auto& page = f.Sheet().m_productPage;
        for (int round = 0; round < 200; ++round) {
            f.Sheet().SetActivePage(1);
            const int posted = page.RequestsPosted();
            page.OnTimer();
            QVERIFY(AskedWithoutServing(page, posted));
            f.TakeCardLines();
            f.Sheet().SetActivePage(2);
            QVERIFY(!page.WorkerRunning());
            QCoreApplication::processEvents();
            QCOMPARE(page.RequestsServed(), 0);
            QCOMPARE(f.TakeCardLines(), std::vector<std::string>{});
        }
    }

    void rawDataShowsAndCopiesExactlyTheText() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText("before");
        const std::string empty;
        {
            summary::RawDataDialog dialog(empty);
            QVERIFY(dialog.Create());
            QCOMPARE(dialog.Widget()->windowTitle(), QString("Product Information"));
            dialog.SendCommand(res::IDC_COPY_TO_CLIPBOARD);
            QCOMPARE(clipboard->text(), QString("before"));
            dialog.DestroyWindow();
        }
        const std::string raw = "ATI9\r\nProduct Name: ZO!\r\n\tCol  1\r\nOK\r\n";
        summary::RawDataDialog dialog(raw);
        QVERIFY(dialog.Create());
        dialog.Widget()->show();
        auto* edit = qobject_cast<QPlainTextEdit*>(dialog.ControlWidget(res::IDC_RAW_TEXT));
        QVERIFY(edit->isReadOnly());
        QVERIFY(edit->toPlainText().contains("Product Name: ZO!"));
        dialog.SendCommand(res::IDC_COPY_TO_CLIPBOARD);
        QCOMPARE(clipboard->text(), QString::fromStdString(raw));
        QVERIFY2(dialog.Widget()->isVisible(), "the dialog stays open");
        dialog.DestroyWindow();
    }

    // Run a second time by CTest with "monospace" aliased to a proportional face.
    void rawDataFontIsFixedPitchWhateverMonospaceResolvesTo() {
        const QFont desktop = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (qEnvironmentVariableIsSet("ZO_TEST_PROPORTIONAL_MONOSPACE")) {
            QVERIFY2(!QFontInfo(desktop).fixedPitch(),
                     "the desktop's fixed font is proportional here");
        }
        const std::string raw = "Col  1\tCol 2\r\n";
        summary::RawDataDialog dialog(raw);
        QVERIFY(dialog.Create());
        auto* edit = qobject_cast<QPlainTextEdit*>(dialog.ControlWidget(res::IDC_RAW_TEXT));
        const QFontInfo shown(edit->font());
        QVERIFY2(shown.fixedPitch(), qPrintable(shown.family()));
        const QFontMetrics metrics(edit->font());
        QCOMPARE(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
        QCOMPARE(edit->font().pointSizeF(), desktop.pointSizeF());
        dialog.DestroyWindow();
    }

    void rawDataButtonOpensTheDialogOverThePage() {
        SummaryFixture f;
        QVERIFY(OpenWithOfficeApplied(f));
        f.Sheet().SetActivePage(1);
        test::ModalClicker clicker;
        clicker.Queue(ui::IDOK);
        clicker.Arm();
        f.Sheet().m_productPage.SendCommand(res::IDC_RAW_DATA);
        QCOMPARE(clicker.titles, std::vector<std::string>{"Product Information"});
    }
};

ZO_QTEST(ProductPageTest)
#include "ProductPageTest.moc"
