#include "app/SplashDialog.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "res/ResourceIds.h"

namespace zo::app {

SplashDialog::SplashDialog(QWidget* parentWindow) : ui::Dialog(res::IDD_SPLASH, parentWindow) {}

bool SplashDialog::Create() {
    if (!ui::Dialog::Create(nullptr)) {
        return false;
    }
    QWidget* w = GetSafeHwnd();
    w->show();
    w->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

}  // namespace zo::app
