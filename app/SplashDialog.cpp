#include "app/SplashDialog.h"

#include <QWidget>

#include "res/ResourceIds.h"

namespace zo::app {

SplashDialog::SplashDialog(QWidget* parentWindow) : ui::Dialog(res::IDD_SPLASH, parentWindow) {}

bool SplashDialog::Create() {
    if (!ui::Dialog::Create(nullptr)) {
        return false;
    }
    GetSafeHwnd()->show();
    return true;
}

}  // namespace zo::app
