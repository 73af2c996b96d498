#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace zo::res {

// The program's pictures, drawn by its own code: the page banner (136, 357 x 73), the
// line status signs (140 STOP, 141 the green ZO! sign, 142 YIELD; 50 x 50) and the
// splash picture (158, 520 x 315). A null image for any other id.
QImage DrawBitmap(int id);
// The same, kept once drawn.
QPixmap LoadBitmap(int id);

// The application icon (128) at 32 and 16 pixels.
QImage DrawIcon(int size);
QIcon LoadAppIcon();

}  // namespace zo::res
