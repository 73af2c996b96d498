#include <sys/stat.h>

#include <QApplication>
#include <QDialog>
#include <QtTest>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/InstanceGate.h"
#include "support/TempWorkDir.h"
#include "support/ui/QtTestMain.h"

using namespace zo;

namespace {

// The gate of the windows in one process: the first copy's side on the application's
// event loop, a later start's claim on a thread of its own, as another process would.
class InstanceGateTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<test::TempWorkDir>();
        const std::string runtime = m_dir->File("run");
        ::mkdir(runtime.c_str(), 0700);
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        m_oldRuntime = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void cleanup() {
        m_oldRuntime ? ::setenv("XDG_RUNTIME_DIR", m_oldRuntime->c_str(), 1)
                     : ::unsetenv("XDG_RUNTIME_DIR");
        m_dir.reset();
    }

    // The window that comes up is the one the user must answer: a message box over the
    // sheet, not the sheet it holds, nor the window that had the keyboard.
    void secondStartRaisesTheModalWindow() {
        app::InstanceGate first;
        std::string warning;
        QCOMPARE(first.Claim(m_dir->File("store.db"), &warning), app::InstanceGate::Start::Run);
        QVERIFY(warning.empty());
        first.Listen();
        QWidget sheet;
        sheet.show();
        QDialog message(&sheet);
        message.open();
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &elsewhere);

        QCOMPARE(SecondStart(), app::InstanceGate::Start::AlreadyRaised);
        QTRY_COMPARE(QApplication::activeWindow(), &message);
        elsewhere.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &elsewhere);
        QCOMPARE(SecondStart(), app::InstanceGate::Start::AlreadyRaised);
        QTRY_COMPARE(QApplication::activeWindow(), &message);
    }

    void anotherStoreRunsBeside() {
        app::InstanceGate first;
        app::InstanceGate other;
        std::string warning;
        QCOMPARE(first.Claim(m_dir->File("store.db"), &warning), app::InstanceGate::Start::Run);
        QCOMPARE(other.Claim(m_dir->File("other.db"), &warning), app::InstanceGate::Start::Run);
    }

private:
    // Claims the store as a later start does, while this thread turns the event loop.
    app::InstanceGate::Start SecondStart() {
        std::atomic<bool> done{false};
        app::InstanceGate::Start start = app::InstanceGate::Start::Run;
        std::thread later([&] {
            app::InstanceGate gate;
            std::string warning;
            start = gate.Claim(m_dir->File("store.db"), &warning);
            done = true;
        });
        while (!done) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        later.join();
        return start;
    }

    std::unique_ptr<test::TempWorkDir> m_dir;
    std::optional<std::string> m_oldRuntime;
};

}  // namespace

ZO_QTEST(InstanceGateTest)
#include "InstanceGateTest.moc"
