#include "summary/ui/SplashDialog.h"

#include <QLabel>
#include <QWidget>

#include "platform/ui/conversation/InputHold.h"
#include "res/ResourceIds.h"

namespace zo::summary {

SplashDialog::SplashDialog(QWidget* parentWindow) : ui::Dialog(res::IDD_SPLASH, parentWindow) {}

bool SplashDialog::Create() {
    if (!ui::Dialog::Create(nullptr)) {
        return false;
    }
    QWidget* w = Widget();
    w->setProperty(ui::kConversationWindow, true);
    // The window fits its picture with the same margin all round: its template's size
    // was measured in a font this system only stands in for.
    if (auto* picture = w->findChild<QLabel*>(); picture && !picture->pixmap().isNull()) {
        QRect r = picture->geometry();
        w->setFixedSize(r.right() + 1 + r.left(), r.bottom() + 1 + r.top());
    }
    w->show();
    return true;
}

}  // namespace zo::summary
