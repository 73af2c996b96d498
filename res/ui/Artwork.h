#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace zo::res {

// The program's pictures, drawn by its own code: the page banner (136, 357 x 73), the
// line status signs (140 STOP, 141 the green ZO! sign, 142 YIELD; 50 x 50) and the
// splash picture (158, 520 x 315). Sizes are in device-independent pixels; the picture
// is drawn at `devicePixelRatio` device pixels to each. A null image for any other id.
QImage DrawBitmap(int id, qreal devicePixelRatio = 1.0);
// The same at the screens' device pixel ratio, kept once drawn.
QPixmap LoadBitmap(int id);
// Starts drawing picture `id` on a thread of its own, for LoadBitmap to take when it is
// first asked for it. Once the application exists; user-interface thread.
void DrawBitmapAhead(int id);

// The message boxes' signs, 32 x 32 device-independent pixels, drawn at the ratio as the
// pictures are: the style's own come as small bitmaps that a screen of ratio 2 enlarges.
enum class MessageSign { Warning, Question, Information, Critical };
QImage DrawMessageSign(MessageSign sign, qreal devicePixelRatio = 1.0);
// The same at the screens' device pixel ratio, kept once drawn.
QPixmap LoadMessageSign(MessageSign sign);

// The application icon (128) at `size` pixels, and as a scalable SVG document; the
// window icon of 16, 32 and 64 pixels, drawn when first needed and kept.
QImage DrawIcon(int size);
QByteArray DrawIconSvg();
QIcon LoadAppIcon();

}  // namespace zo::res
