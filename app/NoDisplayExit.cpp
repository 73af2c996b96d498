#include "app/NoDisplayExit.h"

#include <QGuiApplication>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

#include "app/cli/ExitCode.h"
#include "res/Translation.h"

namespace zo::app {
namespace {

QtMessageHandler g_qtHandler = nullptr;

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // The platform's name is set once its plugin has started.
    if (type == QtFatalMsg && QGuiApplication::platformName().isEmpty()) {
        // Qt's own text suggests reinstalling, which a missing display never needs; the
        // platform has already said why on its warning lines.
        std::fprintf(stderr, "zo-config: %s\n",
                     res::Tr("the windows cannot be shown: the window system could not be "
                             "started; the commands work without one (see --help)"));
        std::fflush(stderr);
        // Inside QApplication's constructor: nothing else may run.
        std::_Exit(cli::kExitNoDisplay);
    }
    g_qtHandler(type, context, message);
}

}  // namespace

void ExitWithoutWindowSystem() {
    if (!g_qtHandler) {
        g_qtHandler = qInstallMessageHandler(OnQtMessage);
    }
}

}  // namespace zo::app
