#include "pages/SheetShared.h"

#include <QPainter>
#include <QWidget>

#include "platform/files/DataFile.h"

namespace zo::pages {

std::string ProductHelpPath() {
    return files::DataFilePath("ksfxzo.hlp");
}

QPoint IconOrigin(QSize client, QSize icon) {
    return {(client.width() - icon.width() + 1) / 2, (client.height() - icon.height() + 1) / 2};
}

void PaintIconic(QWidget* window, QPainter& painter, const QIcon& icon) {
    QRect client = window->rect();
    painter.fillRect(client, window->palette().window());
    QSize size(kSystemIconSize, kSystemIconSize);
    painter.drawPixmap(IconOrigin(client.size(), size), icon.pixmap(size));
}

}  // namespace zo::pages
