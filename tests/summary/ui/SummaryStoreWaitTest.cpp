// The configuration window while another program holds the store's lock: the window stays
// live and deaf to clicks through the wait, and acts once the lock is let go.
#include <sqlite3.h>
#include <QPushButton>
#include <QtTest>
#include <string>
#include <vector>

#include "platform/registry/LockWait.h"
#include "platform/ui/conversation/PaintingLockWait.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/SummaryFixture.h"

using namespace zo;
using test::SummaryFixture;
using Texts = std::vector<std::string>;

namespace {

std::string Say(int id) {
    return res::LoadString(id);
}

}  // namespace

class SummaryStoreWaitTest : public QObject {
    Q_OBJECT

private slots:
    void removeWaitsOutAnotherProgramsLockWithTheWindowLive() {
        SummaryFixture f;
        f.AddProfile("Zeta", "2065550100", "20655501000101");
        f.AddProfile("Mid", "2065550101", "20655501010101");
        f.MarkApplied("Zeta");
        QVERIFY(f.Open());
        QCOMPARE(f.TakeTexts(), Texts{});
        auto& page = f.Config();
        ui::PaintingLockWait wait;
        registry::SetLockWait(&wait);
        struct Restore {
            sqlite3* other = nullptr;
            ~Restore() {
                sqlite3_close(other);
                registry::SetLockWait(nullptr);
            }
        } restore;
        QCOMPARE(sqlite3_open(f.store.Path().c_str(), &restore.other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(restore.other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
                 SQLITE_OK);

        QTimer::singleShot(0, [&] { f.clock.Advance(std::chrono::seconds(15)); });
        page.SendCommand(res::IDC_CFG_REMOVE);
        QCOMPARE(f.TakeTexts(), Texts{Say(res::IDS_REGISTRY_FAILED)});
        QCOMPARE(page.Fields().Location, std::string("Zeta"));
        // A wait that ran out is not started again at once.
        f.clock.Advance(std::chrono::seconds(15));

        auto* removeButton = qobject_cast<QPushButton*>(page.ControlWidget(res::IDC_CFG_REMOVE));
        QWidget* window = removeButton->window();
        struct PaintCounter : QObject {
            bool eventFilter(QObject*, QEvent* event) override {
                paints += event->type() == QEvent::Paint;
                return false;
            }
            int paints = 0;
        } counter;
        window->installEventFilter(&counter);
        int ticks = 0;
        int paintsBefore = 0;
        bool enabledDuring = true;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (++ticks == 1) {
                paintsBefore = counter.paints;
                window->update();
            } else if (ticks == 3) {
                enabledDuring = removeButton->isEnabled();
                QTest::mouseClick(removeButton, Qt::LeftButton);
                sqlite3_exec(restore.other, "ROLLBACK", nullptr, nullptr, nullptr);
            }
        });
        timer.start(5);
        page.SendCommand(res::IDC_CFG_REMOVE);
        timer.stop();
        QVERIFY(ticks >= 3);
        QVERIFY2(counter.paints > paintsBefore, "the window did not paint during the wait");
        QVERIFY2(!enabledDuring, "Remove took a click during the wait");
        QCOMPARE(f.TakeTexts(), Texts{});
        QCOMPARE(store::ListProfileNames().Value(), Texts{"Mid"});
        QCOMPARE(page.Fields().Location, std::string("Mid"));
    }
};

ZO_QTEST(SummaryStoreWaitTest)
#include "SummaryStoreWaitTest.moc"
