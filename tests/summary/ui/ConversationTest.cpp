// Card conversations off the user-interface thread: the loop keeps turning, questions are
// answered on the user-interface thread, and the user's input meanwhile is thrown away.
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/ui/Conversation.h"
#include "platform/ui/Messages.h"
#include "support/ScriptedPrompter.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/SummaryFixture.h"

using namespace zo;
using namespace std::chrono_literals;

class ConversationTest : public QObject {
    Q_OBJECT

private slots:
    void workRunsOffTheUiThreadWhileTimersFireAndItsResultComesBack() {
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(1);
        const std::thread::id ui = std::this_thread::get_id();
        std::thread::id worker;
        bool runningInside = false;
        const int answer = ui::RunConversation([&] {
            worker = std::this_thread::get_id();
            std::this_thread::sleep_for(150ms);
            return 42;
        });
        QTimer::singleShot(0, [&] { runningInside = ui::ConversationRunning(); });
        QCOMPARE(answer, 42);
        QVERIFY(worker != ui);
        QVERIFY2(ticks >= 20, "the event loop stood still during the conversation");
        QVERIFY(!ui::ConversationRunning());
        QVERIFY(!runningInside);

        // A failure inside the work reaches the caller, after the hold has ended.
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error, ui::RunConversation([] { throw std::runtime_error("card gone"); }));
        QVERIFY(!ui::ConversationRunning());
    }

    void questionsAndTheWaitCursorAreHandledOnTheUiThread() {
        test::ScriptedPrompter prompter;  // installs itself
        prompter.answers = {platform::Answer::Retry, platform::Answer::Cancel};
        std::vector<platform::Answer> got = ui::RunConversation([&] {
            std::vector<platform::Answer> answers;
            answers.push_back(
                platform::CurrentPrompter().Ask("first", platform::Buttons::RetryCancel));
            answers.push_back(
                platform::CurrentPrompter().Ask("second", platform::Buttons::RetryCancel));
            return answers;
        });
        QCOMPARE(got, (std::vector<platform::Answer>{platform::Answer::Retry,
                                                     platform::Answer::Cancel}));
        QCOMPARE(prompter.texts, (std::vector<std::string>{"first", "second"}));
        QCOMPARE(prompter.waitDepth, 0);
        QCOMPARE(&platform::CurrentPrompter(), static_cast<platform::Prompter*>(&prompter));

        // The wait cursor shows for the conversation's whole time.
        int depthSeen = 0;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout,
                         [&] { depthSeen = std::max(depthSeen, prompter.waitDepth); });
        probe.start(1);
        ui::RunConversation([] { std::this_thread::sleep_for(50ms); });
        QCOMPARE(depthSeen, 1);
        QCOMPARE(prompter.waitDepth, 0);
    }

    void clicksOnWindowsOpenBeforeAreThrownAwayNotReplayed() {
        QWidget window;
        auto* button = new QPushButton("Apply", &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });

        std::atomic<bool> clicked{false};
        QTimer::singleShot(0, [&] {
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::mouseDClick(button, Qt::LeftButton);
            QTest::keyClick(button, Qt::Key_Space);
            clicked = true;
        });
        ui::RunConversation([&] {
            while (!clicked) {
                std::this_thread::sleep_for(1ms);
            }
        });
        QCoreApplication::processEvents();
        QCOMPARE(clicks, 0);

        // Afterwards the window takes input as before.
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }

    void windowsOpenedDuringTheConversationTakeInput() {
        int clicks = 0;
        std::atomic<bool> clicked{false};
        QTimer::singleShot(0, [&] {
            QWidget box;
            auto* button = new QPushButton("Retry", &box);
            QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
            box.show();
            QTest::mouseClick(button, Qt::LeftButton);
            clicked = true;
        });
        ui::RunConversation([&] {
            while (!clicked) {
                std::this_thread::sleep_for(1ms);
            }
        });
        QCOMPARE(clicks, 1);
    }

    // A double-clicked Apply programs the card once: the clicks that land while the card is
    // being programmed never reach the page.
    void applyClickedAgainDuringProgrammingProgramsTheCardOnce() {
        test::SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open("Office"));
        QPushButton* applyButton = f.Sheet().GetDlgItem(ui::ID_APPLY_NOW);
        QVERIFY(applyButton);
        f.TakeCardLines();
        int again = 0;
        f.onProgressStep = [&] {
            if (again++ == 2) {
                QMetaObject::invokeMethod(
                    applyButton, [applyButton] { QTest::mouseClick(applyButton, Qt::LeftButton); },
                    Qt::QueuedConnection);
            }
        };
        QTest::mouseClick(applyButton, Qt::LeftButton);
        QCoreApplication::processEvents();
        int stores = 0;
        for (const std::string& line : f.TakeCardLines()) {
            stores += line == "AT&W" ? 1 : 0;
        }
        QCOMPARE(stores, 1);
    }
};

ZO_QTEST(ConversationTest)
#include "ConversationTest.moc"
