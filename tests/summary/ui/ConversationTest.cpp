// Card conversations off the user-interface thread: the loop keeps turning, questions are
// answered on the user-interface thread, and the user's input meanwhile is thrown away.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/ui/conversation/Conversation.h"
#include "platform/ui/conversation/InputHold.h"
#include "platform/ui/dialogs/Messages.h"
#include "support/ScriptedPrompter.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/SummaryFixture.h"

using namespace zo;
using namespace std::chrono_literals;

namespace {

// Counts the focus leaving a control, as a page's check on leaving a field sees it.
struct FocusCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        outs += event->type() == QEvent::FocusOut;
        return false;
    }
    int outs = 0;
};

}  // namespace

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
        QTimer::singleShot(0, [&] { runningInside = ui::ConversationRunning(); });
        const std::optional<int> answer = ui::RunConversation([&] {
            worker = std::this_thread::get_id();
            std::this_thread::sleep_for(150ms);
            return 42;
        });
        QCOMPARE(answer, std::optional<int>(42));
        QVERIFY(worker != ui);
        QVERIFY2(ticks >= 20, "the event loop stood still during the conversation");
        QVERIFY(runningInside);
        QVERIFY(!ui::ConversationRunning());

        // A failure inside the work reaches the caller, after the hold has ended.
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, (void)ui::RunConversation([] {
                                     throw std::runtime_error("card gone");
                                 }));
        QVERIFY(!ui::ConversationRunning());
    }

    // Whatever reaches a handler from inside a conversation's loop cannot start another
    // conversation: the channel has one worker at a time.
    void aConversationStartedInsideAnotherIsRefused() {
        bool innerRan = false;
        std::optional<bool> inner;
        QTimer::singleShot(0, [&] {
            inner = ui::RunConversation([&] {
                innerRan = true;
                return true;
            });
        });
        QVERIFY(ui::RunConversation([] { std::this_thread::sleep_for(100ms); }));
        QVERIFY(!inner.has_value());
        QVERIFY(!innerRan);
        // Afterwards the next one runs.
        QCOMPARE(ui::RunConversation([] { return 7; }), std::optional<int>(7));
    }

    void questionsAndTheWaitCursorAreHandledOnTheUiThread() {
        test::ScriptedPrompter prompter;  // installs itself
        prompter.answers = {platform::Answer::Retry, platform::Answer::Cancel};
        std::optional<std::vector<platform::Answer>> got = ui::RunConversation([&] {
            std::vector<platform::Answer> answers;
            answers.push_back(
                platform::CurrentPrompter().Ask("first", platform::Buttons::RetryCancel));
            answers.push_back(
                platform::CurrentPrompter().Ask("second", platform::Buttons::RetryCancel));
            return answers;
        });
        QCOMPARE(*got, (std::vector<platform::Answer>{platform::Answer::Retry,
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
        QVERIFY(ui::RunConversation([] { std::this_thread::sleep_for(50ms); }));
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
        QVERIFY(ui::RunConversation([&] {
            while (!clicked) {
                std::this_thread::sleep_for(1ms);
            }
        }));
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
        QVERIFY(ui::RunConversation([&] {
            while (!clicked) {
                std::this_thread::sleep_for(1ms);
            }
        }));
        QCOMPARE(clicks, 1);
    }

    // The windows open before the conversation take no action until it ends, whatever way
    // the user tries: the window is disabled, a focus change reaches no handler, and a
    // button pressed through the accessibility interface stays unpressed.
    void windowsOpenBeforeAreDisabledForEveryWayIn() {
        QWidget window;
        auto* edit = new QLineEdit(&window);
        auto* button = new QPushButton("Apply", &window);
        button->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        edit->setFocus();
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
        FocusCounter focus;
        edit->installEventFilter(&focus);

        std::atomic<bool> tried{false};
        bool disabledInside = false;
        QTimer::singleShot(0, [&] {
            disabledInside = !button->isEnabled() && !edit->isEnabled();
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button);
            if (a && a->actionInterface()) {
                a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            }
            button->animateClick();
            button->setFocus();
            QTest::qWait(300);  // past the animated click's release
            tried = true;
        });
        QVERIFY(ui::RunConversation([&] {
            while (!tried) {
                std::this_thread::sleep_for(1ms);
            }
        }));
        QCoreApplication::processEvents();
        QVERIFY(disabledInside);
        QCOMPARE(clicks, 0);
        QCOMPARE(focus.outs, 0);
        // Afterwards the window is as it was, the focus where the user left it.
        QVERIFY(button->isEnabled() && edit->isEnabled());
        QCOMPARE(window.focusWidget(), static_cast<QWidget*>(edit));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
    }

    // Esc and the Close button during a conversation ask the window to close like its title
    // bar: the request is carried out once, after the handler that started the
    // conversation has returned with its result.
    void aRequestToCloseWaitsForTheHandlerThatStartedTheConversation() {
        QDialog window;
        auto* close = new QPushButton("Close", &window);
        close->setProperty(ui::kClosesWindow, true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int rejected = 0;
        QObject::connect(&window, &QDialog::rejected, [&rejected] { ++rejected; });
        bool visibleAtHandlerEnd = false;
        {
            const ui::ActionScope handler;
            std::atomic<bool> asked{false};
            QTimer::singleShot(0, [&] {
                QTest::keyClick(&window, Qt::Key_Escape);
                QTest::mouseClick(close, Qt::LeftButton);
                asked = true;
            });
            QVERIFY(ui::RunConversation([&] {
                while (!asked) {
                    std::this_thread::sleep_for(1ms);
                }
            }));
            // The handler goes on with its result, and may show a message meanwhile.
            QTest::qWait(20);
            visibleAtHandlerEnd = window.isVisible();
            QCOMPARE(ui::HeldCloses(), 1);
        }
        QVERIFY(visibleAtHandlerEnd);
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(rejected, 1);
        QCOMPARE(ui::HeldCloses(), 0);
    }

    // A background conversation leaves the windows live; a conversation the user starts
    // meanwhile gives it up and waits for its worker before talking to the card.
    void aBackgroundConversationLeavesTheWindowsLiveAndGivesWay() {
        QWidget window;
        auto* button = new QPushButton("General", &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });

        std::atomic<int> order{0};
        int backgroundEnded = 0;
        int foregroundStarted = 0;
        bool doneCalled = false;
        ui::BackgroundConversation background;
        QVERIFY(background.Start(
            [&] {
                std::this_thread::sleep_for(150ms);
                backgroundEnded = ++order;
            },
            [&] { doneCalled = true; }));
        QVERIFY(ui::ConversationRunning());
        ui::BackgroundConversation second;
        QVERIFY(!second.Start([] {}, [] {}));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        QVERIFY(window.isEnabled());

        QVERIFY(ui::RunConversation([&] { foregroundStarted = ++order; }));
        QCOMPARE(backgroundEnded, 1);
        QCOMPARE(foregroundStarted, 2);
        QVERIFY(!background.InFlight());
        QCoreApplication::processEvents();
        QVERIFY(!doneCalled);

        // Left alone, it reports its end from the event loop.
        QVERIFY(background.Start([] {}, [&] { doneCalled = true; }));
        QTRY_VERIFY(doneCalled);
        QVERIFY(!ui::ConversationRunning());
    }

    // A double-clicked Apply programs the card once: the clicks that land while the card is
    // being programmed never reach the page.
    void applyClickedAgainDuringProgrammingProgramsTheCardOnce() {
        test::SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open("Office"));
        QPushButton* applyButton = f.Sheet().ControlWidget(ui::ID_APPLY_NOW);
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
