#include <QProgressBar>
#include <QtTest>

#include "link/ui/MissingCardDialog.h"
#include "link/ui/ProgressDialog.h"
#include "res/ResourceIds.h"
#include "support/ui/ModalClicker.h"
#include "support/ui/QtTestMain.h"

using namespace zo;
using link::MissingCardAnswer;

class LinkDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void progressShowsItselfStepsByTenAndWraps() {
        QPointer<QWidget> window;
        {
            link::ProgressDialog progress;
            window = progress.Widget();
            QVERIFY(window);
            QVERIFY(window->isVisible());
            QCOMPARE(window->windowTitle(), QString("Progress"));
            QCOMPARE(progress.Position(), 0);
            progress.StepIt();
            QCOMPARE(progress.Position(), 10);
            for (int i = 0; i < 9; ++i) {
                progress.StepIt();
            }
            QCOMPARE(progress.Position(), 100);
            // The eleventh step starts the bar again from the beginning.
            progress.StepIt();
            QVERIFY(progress.Position() < 100);
        }
        QVERIFY(window.isNull());
    }

    void missingCardAnswersByButton() {
        const struct {
            int control;
            MissingCardAnswer answer;
        } cases[] = {
            {res::IDC_CONTINUE, MissingCardAnswer::Continue},
            {res::IDC_SELECT_PORT, MissingCardAnswer::SelectPort},
            {ui::IDCANCEL, MissingCardAnswer::Cancel},
            {0, MissingCardAnswer::Continue},  // Enter presses the default button
            {-1, MissingCardAnswer::Cancel},   // Esc
        };
        for (const auto& c : cases) {
            test::ModalClicker clicker;
            clicker.Queue(c.control);
            clicker.Arm();
            link::MissingCardDialog dialog;
            QCOMPARE(dialog.Ask(), c.answer);
            QCOMPARE(clicker.titles, std::vector<std::string>{"Missing Card"});
            QVERIFY(!dialog.Widget());
        }
    }
};

ZO_QTEST(LinkDialogsTest)
#include "LinkDialogsTest.moc"
