// The floor zo-bench holds zo-config's start-up to: a bare dialog built with the same Qt,
// a label and a button, started and timed exactly as zo-config is (ZO_EXIT_AT_FIRST_PAINT).
#include <time.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaintExit : public QObject {
public:
    explicit FirstPaintExit(long long startNs) : m_startNs(startNs) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [this] {
                timespec now{};
                ::clock_gettime(CLOCK_MONOTONIC, &now);
                const long long ns = now.tv_sec * 1'000'000'000LL + now.tv_nsec;
                std::printf("first-paint-ms %.3f\n", double(ns - m_startNs) / 1e6);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    long long m_startNs;
    bool m_seen = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FirstPaintExit exit(std::atoll(
        std::getenv("ZO_EXIT_AT_FIRST_PAINT") ? std::getenv("ZO_EXIT_AT_FIRST_PAINT") : "0"));
    app.installEventFilter(&exit);
    QDialog dialog;
    dialog.setWindowTitle("Bare dialog");
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("A bare Qt dialog."));
    layout->addWidget(new QPushButton("OK"));
    dialog.show();
    return app.exec();
}
