#include <sqlite3.h>
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QtTest>

#include "platform/registry/LockWait.h"
#include "platform/ui/conversation/PaintingLockWait.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/RegistryKey.h"
#include "support/ui/ModalClicker.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/WizardRig.h"

using namespace zo;
using namespace zo::res;
using test::Text;
using test::WizardRig;
using Texts = std::vector<std::string>;
using Strings = std::vector<std::string>;

namespace {

// The bar of the progress window on the screen, or -1 when there is none.
int ProgressPosition() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("dialog%1").arg(IDD_PROGRESS) && w->isVisible()) {
            return w->findChild<QProgressBar*>()->value();
        }
    }
    return -1;
}

bool Received(const WizardRig& w, const std::string& line) {
    const auto& lines = const_cast<WizardRig&>(w).card.Model().Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

QString SelectedPort(WizardRig& w) {
    auto* list = qobject_cast<QListWidget*>(w.Control(IDC_PORT_LIST));
    return list->currentItem() ? list->currentItem()->text() : QString();
}

void ChoosePort(WizardRig& w, const QString& port) {
    auto* list = qobject_cast<QListWidget*>(w.Control(IDC_PORT_LIST));
    list->setCurrentItem(list->findItems(port, Qt::MatchExactly).value(0));
}

// Location kept, NI-1, one number typed; detection as asked. Ends on the page after the
// phone page.
void WalkToPhoneNext(WizardRig& w, bool detect, bool secondNumber = false) {
    w.Open();
    w.ToPhonePage(detect);
    w.TypeNumber(1, "2065550100");
    if (secondNumber) {
        w.TypeAtFocus("4255550199");
        w.FocusOn(IDC_AREA1);
    }
    w.Next();
}

// Detection off, the port page's choice taken; on the commit page.
void WalkToCommitByHand(WizardRig& w, const QString& port) {
    WalkToPhoneNext(w, false);
    QCOMPARE(w.Page(), 3);
    ChoosePort(w, port);
    w.Next();
    QCOMPARE(w.Page(), 4);
}

}  // namespace

class WizardFinishTest : public QObject {
    Q_OBJECT

private slots:
    void detectionFindsTheCardAndFinishProgramsIt() {
        WizardRig w;
        cardsim::InProcessCard mute{w.clock};
        mute.Faults().silent = true;
        w.ports.MapToDevice("COM3", mute.Opener());
        w.PlugCard("COM2");
        std::vector<int> progressAt;
        w.card.Model().SetLineObserver([&](const std::string& line) {
            if (line.rfind("AT!N1=", 0) == 0 || line == "ATE1") {
                progressAt.push_back(ProgressPosition());
            }
        });

        WalkToPhoneNext(w, true);
        // COM4 is absent, COM3 does not answer; the card answers on COM2 and COM1 is
        // never tried; the port page is skipped.
        QCOMPARE(w.Page(), 4);
        QVERIFY(w.TakeTexts().empty());
        QCOMPARE(w.profile.Port, std::string("COM2"));
        QCOMPARE(w.profile.Baud, std::string("115200"));
        QVERIFY(mute.OpenCount() > 0);
        QCOMPARE(w.sheet->WizardButtons(),
                 unsigned(ui::PSWIZB_BACK | ui::PSWIZB_NEXT | ui::PSWIZB_FINISH));
        QCOMPARE(qobject_cast<QLabel*>(w.Control(IDC_COMMIT_SUMMARY))->text().toStdString(),
                 Text(IDS_COMMIT_PREFIX) + "My Office" + Text(IDS_COMMIT_SUFFIX));
        QVERIFY(qobject_cast<QAbstractButton*>(w.Control(IDC_APPLY_TO_CARD))->isChecked());

        // Back skips the port page; Next searches again.
        w.Back();
        QCOMPARE(w.Page(), 2);
        w.Next();
        QCOMPARE(w.Page(), 4);

        w.Finish();
        QVERIFY(w.Ended());
        QCOMPARE(w.sheet->Result(), int(ui::ID_WIZFINISH));
        QVERIFY(w.TakeTexts().empty());
        QVERIFY(Received(w, "AT!C0=32"));
        QVERIFY(Received(w, "AT!N1=\"5550100\""));
        QVERIFY(Received(w, "AT!C2=\"20655501000101\""));
        QVERIFY(Received(w, "AT&W"));
        // The bar stood at 40 when DN 1 went out and at 90 after the flow command; the
        // window is gone afterwards.
        QCOMPARE(progressAt, (std::vector<int>{40, 90}));
        QCOMPARE(ProgressPosition(), -1);

        QCOMPARE(w.CurrentSubkeys(), Strings{"My Office"});
        QVERIFY(!store::IsFirstStart().Value());
        store::Profile p = w.Stored("My Office");
        QCOMPARE(p.Values(),
                 (Strings{"My Office", "National ISDN-1 (NI-1)", "2065550100", "20655501000101",
                          "COM2", "115200", "8", "None", "1", "Hardware"}));
    }

    void twoTerminalsAndAnEarlierProfile() {
        WizardRig w;
        {
            store::Profile home;
            home.Location = "Home";
            store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
            QVERIFY(store::WriteProfile(key, home));
            QVERIFY(store::MarkProfileActive(key, "Home"));
        }
        w.PlugCard("COM4");
        WalkToPhoneNext(w, true, true);
        QCOMPARE(w.Page(), 4);
        w.Finish();
        QVERIFY(w.Ended());
        QCOMPARE(w.CurrentSubkeys(), Strings{"My Office1"});
        store::Profile p = w.Stored("My Office1");
        QCOMPARE(p.storedCount, std::size_t(12));
        QCOMPARE(p.At(store::kPhone2), std::string("4255550199"));
        QCOMPARE(p.At(store::kSpid2), std::string("42555501990101"));
        QVERIFY(Received(w, "AT!N2=\"5550199\""));
        QVERIFY(w.Stored("Home").Exists());
    }

    void noCardFoundLeadsToThePortPage() {
        WizardRig w;
        WalkToPhoneNext(w, true);
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_CARD_NOT_DETECTED)});
        QCOMPARE(w.Page(), 3);
        QVERIFY(!w.profile.AutoDetect);
        QCOMPARE(SelectedPort(w), QString("COM1"));
        QCOMPARE(w.sheet->WizardButtons(), unsigned(ui::PSWIZB_BACK | ui::PSWIZB_NEXT));

        // Back from the port page still writes the manual line settings.
        ChoosePort(w, "COM3");
        w.Back();
        QCOMPARE(w.Page(), 2);
        QCOMPARE(w.profile.Port, std::string("COM3"));
        QCOMPARE(w.profile.Baud, std::string("38400"));
        // Detection is off now: no second search.
        w.Next();
        QCOMPARE(w.Page(), 3);
        QVERIFY(w.TakeTexts().empty());
        QCOMPARE(SelectedPort(w), QString("COM3"));
        w.Next();
        QCOMPARE(w.Page(), 4);
        w.Back();
        QCOMPARE(w.Page(), 3);
        w.Next();

        w.PlugCard("COM3");
        w.Finish();
        QVERIFY(w.Ended());
        store::Profile p = w.Stored("My Office");
        QCOMPARE(p.At(store::kPort), std::string("COM3"));
        QCOMPARE(p.At(store::kBaud), std::string("38400"));
        QCOMPARE(w.CurrentSubkeys(), Strings{"My Office"});
    }

    void finishWithoutProgrammingLeavesTheCardAlone() {
        WizardRig w;
        w.PlugCard("COM1");
        WalkToCommitByHand(w, "COM1");
        qobject_cast<QAbstractButton*>(w.Control(IDC_APPLY_TO_CARD))->setChecked(false);
        w.Finish();
        QVERIFY(w.Ended());
        QVERIFY(w.TakeTexts().empty());
        QVERIFY(w.card.Writes().empty());
        QCOMPARE(w.Stored("My Office").storedCount, std::size_t(10));
        QVERIFY(w.CurrentSubkeys().empty());
        QVERIFY(store::IsFirstStart().Value());  // the next start shows the wizard again
        QCOMPARE(ProgressPosition(), -1);
    }

    // Finish's save meets another program's lock on the store: the wizard keeps painting
    // and takes no click until the lock goes, then the profile is saved and the wizard ends.
    void finishWaitsOutAnotherProgramsLockWithTheWizardLive() {
        WizardRig w;
        w.PlugCard("COM1");
        WalkToCommitByHand(w, "COM1");
        qobject_cast<QAbstractButton*>(w.Control(IDC_APPLY_TO_CARD))->setChecked(false);
        ui::PaintingLockWait wait;
        registry::SetLockWait(&wait);
        struct Restore {
            sqlite3* other = nullptr;
            ~Restore() {
                sqlite3_close(other);
                registry::SetLockWait(nullptr);
            }
        } restore;
        QCOMPARE(sqlite3_open(w.storeFile.Path().c_str(), &restore.other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(restore.other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
                 SQLITE_OK);

        QWidget* window = w.sheet->Widget()->window();
        struct PaintCounter : QObject {
            bool eventFilter(QObject*, QEvent* event) override {
                paints += event->type() == QEvent::Paint;
                return false;
            }
            int paints = 0;
        } counter;
        window->installEventFilter(&counter);
        auto* applyToCard = qobject_cast<QAbstractButton*>(w.Control(IDC_APPLY_TO_CARD));
        int ticks = 0;
        int paintsBefore = 0;
        bool enabledDuring = true;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (++ticks == 1) {
                paintsBefore = counter.paints;
                window->update();
            } else if (ticks == 3) {
                enabledDuring = applyToCard->isEnabled();
                QTest::mouseClick(applyToCard, Qt::LeftButton);
                sqlite3_exec(restore.other, "ROLLBACK", nullptr, nullptr, nullptr);
            }
        });
        timer.start(5);
        w.Finish();
        timer.stop();
        QVERIFY(ticks >= 3);
        QVERIFY2(counter.paints > paintsBefore, "the wizard did not paint during the wait");
        QVERIFY2(!enabledDuring, "the wizard took a click during the wait");
        QVERIFY(!applyToCard->isChecked());
        QVERIFY(w.Ended());
        QVERIFY(w.TakeTexts().empty());
        QCOMPARE(w.Stored("My Office").storedCount, std::size_t(10));
        QVERIFY(w.card.Writes().empty());
    }

    void missingCardAnswers() {
        const Texts portMessages{Text(IDS_PORT_UNSUPPORTED), Text(IDS_PORT_COMM_FAILED)};
        {
            WizardRig w;
            WalkToCommitByHand(w, "COM2");
            test::ModalClicker clicker;
            clicker.Queue(ui::IDCANCEL);
            clicker.Arm();
            w.Finish();
            QCOMPARE(clicker.titles, Strings{"Missing Card"});
            QCOMPARE(w.TakeTexts(), portMessages);
            QVERIFY(!w.Ended());
            QCOMPARE(w.Page(), 4);
            QVERIFY(qobject_cast<QAbstractButton*>(w.Control(IDC_APPLY_TO_CARD))->isChecked());
            QVERIFY(!w.Stored("My Office").Exists());
            QCOMPARE(ProgressPosition(), -1);

            // Select a Port: the port page, and Back from the commit page comes to it.
            clicker.Queue(IDC_SELECT_PORT);
            clicker.Arm();
            w.Finish();
            QVERIFY(!w.Ended());
            QCOMPARE(w.Page(), 3);
            QVERIFY(!w.profile.AutoDetect);
            QCOMPARE(ProgressPosition(), -1);
            w.Next();
            w.Back();
            QCOMPARE(w.Page(), 3);
            w.Next();

            // Continue: saved without the card; the wizard ends, CURRENT stays empty.
            w.TakeTexts();
            clicker.Queue(IDC_CONTINUE);
            clicker.Arm();
            w.Finish();
            QCOMPARE(w.TakeTexts(), portMessages);
            QVERIFY(w.Ended());
            QCOMPARE(w.Stored("My Office").storedCount, std::size_t(10));
            QVERIFY(w.CurrentSubkeys().empty());
            QCOMPARE(ProgressPosition(), -1);
        }
    }

    void cardFailuresKeepTheWizardOpen() {
        {
            WizardRig w;
            w.card.Faults().silent = true;
            w.PlugCard("COM1");
            WalkToCommitByHand(w, "COM1");
            w.Finish();
            QCOMPARE(w.TakeTexts(), Texts{Text(IDS_PORT_UNSUPPORTED)});
            QVERIFY(!w.Ended());
            QCOMPARE(w.Page(), 3);
            QVERIFY(!w.profile.AutoDetect);
            QVERIFY(!Received(w, "ATI3"));
            QVERIFY(!w.Stored("My Office").Exists());
            QVERIFY(w.CurrentSubkeys().empty());
            QCOMPARE(ProgressPosition(), -1);
        }
        {
            WizardRig w;
            w.card.Faults().wrongIdentification = true;
            w.PlugCard("COM1");
            WalkToCommitByHand(w, "COM1");
            w.Finish();
            QCOMPARE(w.TakeTexts(), Texts{Text(IDS_PORT_COMM_FAILED)});
            QCOMPARE(w.Page(), 3);
            QVERIFY(!Received(w, "AT!C0=32"));
            QVERIFY(w.CurrentSubkeys().empty());
            QCOMPARE(ProgressPosition(), -1);
        }
        {
            // The write of SPID 1 fails and the user gives up.
            WizardRig w;
            w.PlugCard("COM1");
            w.card.Model().SetLineObserver([&w](const std::string& line) {
                if (line.rfind("AT!N1=", 0) == 0) {
                    w.card.Faults().failingWrites = 1;
                }
            });
            WalkToCommitByHand(w, "COM1");
            w.prompter.answers = {platform::Answer::Cancel};
            w.Finish();
            QCOMPARE(w.TakeTexts(),
                     (Texts{Text(IDS_PORT_WRITE_FAILED), Text(IDS_PORT_WRITE_FAILED)}));
            QVERIFY(!w.Ended());
            QCOMPARE(w.Page(), 4);
            QVERIFY(!w.profile.AutoDetect);
            QVERIFY(!Received(w, "AT&W"));
            QVERIFY(w.CurrentSubkeys().empty());
            QVERIFY(!w.Stored("My Office").Exists());
            QCOMPARE(ProgressPosition(), -1);

            // Tried again with the card behaving: programmed and saved.
            w.card.Model().SetLineObserver(nullptr);
            w.Finish();
            QVERIFY(w.Ended());
            QCOMPARE(w.CurrentSubkeys(), Strings{"My Office"});
        }
    }

    // Another program stores a profile under the wizard's name after the location page
    // checked it: Finish says so, with or without programming the card, and that profile
    // stands whole (its numbers, its second terminal).
    void aProfileStoredMeanwhileUnderTheNameStands() {
        for (bool program : {false, true}) {
            WizardRig w;
            w.PlugCard("COM1");
            WalkToCommitByHand(w, "COM1");
            qobject_cast<QAbstractButton*>(w.Control(IDC_APPLY_TO_CARD))->setChecked(program);
            store::Profile theirs{"MY OFFICE",  "AT&T 5ESS", "4255550111", "1", "COM2",
                                  "57600",      "8",         "None",       "1", "Hardware",
                                  "4255550122", "2",         true};
            {
                store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
                QVERIFY(store::WriteProfile(key, theirs));
            }
            const store::Profile before = w.Stored("MY OFFICE");
            w.Finish();
            QVERIFY2(!w.Ended(), program ? "programmed" : "saved only");
            QCOMPARE(w.TakeTexts().size(), std::size_t(1));
            QVERIFY(w.prompter.details.back().find("Another program stored a profile named "
                                                   "\"MY OFFICE\"") != std::string::npos);
            QCOMPARE(w.Page(), 0);
            QCOMPARE(w.Stored("My Office"), before);
            QCOMPARE(w.ProfileNames(), Strings{"MY OFFICE"});
            QVERIFY(w.CurrentSubkeys().empty());
            QCOMPARE(ProgressPosition(), -1);
        }
    }

    // Esc (as the title bar's close) while Finish talks to the card is carried out after
    // Finish has its result: a wizard that programmed the card ends finished and says the
    // user asked to close, with no question; one that could not asks its cancel question.
    void aCloseDuringFinishWaitsForFinishsResult() {
        const auto escapeOn = [](WizardRig& w, const std::string& command) {
            QWidget* window = w.sheet->Widget()->window();
            w.card.Model().SetLineObserver([window, command](const std::string& line) {
                if (line.rfind(command, 0) == 0) {
                    QMetaObject::invokeMethod(
                        window, [window] { QTest::keyClick(window, Qt::Key_Escape); },
                        Qt::QueuedConnection);
                }
            });
        };
        {
            WizardRig w;
            w.PlugCard("COM1");
            WalkToCommitByHand(w, "COM1");
            escapeOn(w, "AT!C2=");
            w.Finish();
            QCoreApplication::processEvents();
            QVERIFY(w.Ended());
            QCOMPARE(w.sheet->Result(), int(ui::ID_WIZFINISH));
            QVERIFY(w.sheet->CloseRequested());
            QVERIFY(w.TakeTexts().empty());
            QCOMPARE(w.CurrentSubkeys(), Strings{"My Office"});
        }
        {
            WizardRig w;
            w.card.Faults().silent = true;
            w.PlugCard("COM1");
            WalkToCommitByHand(w, "COM1");
            escapeOn(w, "AT&F");
            w.prompter.answers = {platform::Answer::Ok, platform::Answer::Yes};
            w.Finish();
            QCOMPARE(w.TakeTexts(), Texts{Text(IDS_PORT_UNSUPPORTED)});
            QVERIFY(!w.Ended());
            QTRY_VERIFY(w.Ended());
            QCOMPARE(w.TakeTexts(), Texts{res::LoadString(res::IDS_CANCEL_QUESTION)});
            QCOMPARE(w.sheet->Result(), int(ui::IDCANCEL));
            QVERIFY(!w.sheet->CloseRequested());
        }
    }

    void refusedValueIsNeverSent() {
        // The pages blank a double quote as it is typed; one that reaches the channel by
        // another way is still never sent, and nothing is saved.
        WizardRig w;
        w.PlugCard("COM1");
        WalkToCommitByHand(w, "COM1");
        w.profile.SPID1 = "123\"456789";
        w.Finish();
        QCOMPARE(w.TakeTexts().size(), std::size_t(1));
        QVERIFY(!w.Ended());
        QCOMPARE(w.Page(), 4);
        QVERIFY(w.card.Writes().empty());
        QVERIFY(!w.Stored("My Office").Exists());
        QCOMPARE(ProgressPosition(), -1);
    }
};

ZO_QTEST(WizardFinishTest)
#include "WizardFinishTest.moc"
