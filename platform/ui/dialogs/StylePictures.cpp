#include "platform/ui/dialogs/StylePictures.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QPixmapCache>
#include <QString>

namespace zo::ui {
namespace {

// A value's bytes as QPixmap::load writes them into its cache keys: in memory order, the
// low nibble of each byte first.
template <typename T>
QString CacheKeyHex(T value) {
    static const char digits[] = "0123456789abcdef";
    QString text;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        text += QLatin1Char(digits[bytes[i] & 0xf]);
        text += QLatin1Char(digits[bytes[i] >> 4]);
    }
    return text;
}

void Preload(const QString& path) {
    const QFileInfo info(path);
    const QString key = QStringLiteral("qt_pixmap") + info.absoluteFilePath() +
                        CacheKeyHex(static_cast<uint>(info.lastModified().toSecsSinceEpoch())) +
                        CacheKeyHex(static_cast<quint64>(info.size())) +
                        CacheKeyHex(static_cast<uint>(0));  // a raster pixmap
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) {
        return;
    }
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (!image.isNull()) {
        QPixmapCache::insert(key, QPixmap::fromImage(image));
    }
}

}  // namespace

void PreloadStylePictures() {
    Preload(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
}

}  // namespace zo::ui
