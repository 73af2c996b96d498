#include "app/RunWindows.h"

#include <time.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "app/ConfigApp.h"
#include "app/InstanceGate.h"
#include "pages/AnimatedPage.h"
#include "platform/media/ClipCache.h"
#include "platform/prompt/Prompter.h"
#include "platform/registry/LockWait.h"
#include "platform/ui/controls/MessageBoxPrompter.h"
#include "platform/ui/conversation/PaintingLockWait.h"
#include "platform/ui/dialogs/AfterFirstPaint.h"
#include "platform/ui/dialogs/StylePictures.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "res/Translation.h"
#include "res/ui/Artwork.h"

namespace zo::app {
namespace {

// Start-up measurement, off unless ZO_EXIT_AT_FIRST_PAINT is set: its value is the
// CLOCK_MONOTONIC time in nanoseconds at which the caller started the program. Once the
// first window has been painted the program prints "first-paint-ms N", the milliseconds
// since then, and ends at once. zo-bench uses it.
class FirstPaintExit : public QObject {
public:
    explicit FirstPaintExit(long long startNs) : m_startNs(startNs) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Runs once the whole window has been painted.
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

// Reads the pages' clip on a thread of its own while the window system and the fonts are
// set up: the first page finds it decoded, or waits only for the rest. The clip cache
// keeps it for the whole run and answers both threads alike.
class ClipPreload {
public:
    ClipPreload()
        : m_thread([] {
              try {
                  std::string error;
                  media::LoadSharedClip(pages::kAnimationClip, &error);
              } catch (const std::exception&) {
                  // The page reads the clip again itself and goes without it if it must.
              }
          }) {}
    ~ClipPreload() { m_thread.join(); }
    ClipPreload(const ClipPreload&) = delete;
    ClipPreload& operator=(const ClipPreload&) = delete;

private:
    std::thread m_thread;
};

}  // namespace

int RunWindows(int& argc, char** argv, const std::string& storePath) {
    InstanceGate gate;
    std::string warning;
    switch (gate.Claim(storePath, &warning)) {
        case InstanceGate::Start::Run:
            break;
        case InstanceGate::Start::AlreadyRaised:
            return 0;
        case InstanceGate::Start::OtherSilent:
            std::cerr << "zo-config: "
                      << res::Tr(
                             "the windows for this store are open in another process, which "
                             "did not answer")
                      << "\n";
            return 1;
    }
    if (!warning.empty()) {
        std::cerr << "zo-config: "
                  << res::Fill(res::Tr("%1; another start may open a second copy"), {warning})
                  << "\n";
    }
    ClipPreload clip;
    QApplication qapp(argc, argv);
    gate.Listen();
    // Every page shows the banner: drawn meanwhile, while the first window is built.
    res::DrawBitmapAhead(res::IDB_BANNER);
    ui::PreloadStylePictures();
    QApplication::setApplicationName("zo-config");
    // Given once a window has been painted: a window system may draw it as a window is
    // made, and the user need not wait for that.
    ui::AfterFirstPaint(&qapp, [] { QApplication::setWindowIcon(res::LoadAppIcon()); });
    std::unique_ptr<FirstPaintExit> firstPaintExit;
    if (const char* start = std::getenv("ZO_EXIT_AT_FIRST_PAINT")) {
        firstPaintExit = std::make_unique<FirstPaintExit>(std::atoll(start));
        qapp.installEventFilter(firstPaintExit.get());
    }
    ui::MessageBoxPrompter prompter(res::LoadString(res::IDS_TITLE));
    platform::SetPrompter(&prompter);
    ui::PaintingLockWait lockWait;
    registry::SetLockWait(&lockWait);
    {
        ConfigApp app;
        app.InitInstance();
    }
    registry::SetLockWait(nullptr);
    platform::SetPrompter(nullptr);
    return 0;
}

}  // namespace zo::app
