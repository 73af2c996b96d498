#include "app/RunWindows.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>

#include "app/ConfigApp.h"
#include "platform/prompt/Prompter.h"
#include "platform/ui/MessageBoxPrompter.h"
#include "res/Artwork.h"
#include "res/Strings.h"

namespace zo::app {
namespace {

bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            return true;
        }
    }
    return false;
}

}  // namespace

int RunWindows(int& argc, char** argv) {
    // Without a display the window system would end the program; say why instead.
    if (!HasDisplay()) {
        std::cerr << "zo-config: there is no display to show the windows on "
                     "(DISPLAY is not set); the commands work without one (see --help)\n";
        return 1;
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName("zo-config");
    QApplication::setWindowIcon(res::LoadAppIcon());
    ui::MessageBoxPrompter prompter(res::LoadString(res::IDS_TITLE));
    platform::SetPrompter(&prompter);
    {
        ConfigApp app;
        app.InitInstance();
    }
    platform::SetPrompter(nullptr);
    return 0;
}

}  // namespace zo::app
