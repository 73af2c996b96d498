#include "res/ui/Artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>
#include <future>
#include <map>
#include <mutex>

#include "res/ResourceIds.h"
#include "res/Translation.h"

namespace zo::res {
namespace {

const QColor kNavy(11, 42, 107);
const QColor kTeal(26, 127, 168);
const QColor kGold(232, 184, 48);

QFont Face(int pixels, bool bold) {
    QFont f;
    f.setFamilies({"DejaVu Sans", "Liberation Sans", "Sans Serif"});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// An image of w x h device-independent pixels at `ratio`: painters on it take the ratio
// from the image and draw in device-independent pixels.
QImage Blank(int w, int h, qreal ratio) {
    QImage image(static_cast<int>(std::ceil(w * ratio)), static_cast<int>(std::ceil(h * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

// A PC card seen from above, its connector edge on the left.
void DrawCard(QPainter& p, const QRectF& r) {
    QLinearGradient body(r.topLeft(), r.bottomRight());
    body.setColorAt(0, QColor(210, 214, 222));
    body.setColorAt(1, QColor(150, 156, 170));
    p.setPen(QPen(QColor(70, 74, 86), std::max(1.0, r.height() / 40)));
    p.setBrush(body);
    p.drawRoundedRect(r, r.height() / 14, r.height() / 14);
    QRectF label =
        r.adjusted(r.width() * 0.18, r.height() * 0.16, -r.width() * 0.08, -r.height() * 0.16);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(label, 3, 3);
    p.setPen(Qt::white);
    p.setFont(Face(static_cast<int>(label.height() * 0.42), true));
    p.drawText(label, Qt::AlignCenter, "ZO!");
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    for (int i = 0; i < 8; ++i) {
        double y = r.top() + r.height() * (0.12 + i * 0.1);
        p.drawRect(QRectF(r.left() + 2, y, r.width() * 0.06, r.height() * 0.05));
    }
}

QImage Banner(qreal ratio) {
    QImage image = Blank(357, 73, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 357, 0);
    g.setColorAt(0, kNavy);
    g.setColorAt(1, kTeal);
    p.fillRect(QRectF(0, 0, 357, 73), g);
    // The line: a digital signal running across the banner.
    QPainterPath wave;
    wave.moveTo(0, 60);
    for (int x = 0; x <= 357; x += 12) {
        double y = 60 + ((x / 12) % 3 == 0 ? -6 : ((x / 12) % 3 == 1 ? 4 : 0));
        wave.lineTo(x, y);
    }
    p.setPen(QPen(QColor(255, 255, 255, 70), 2));
    p.drawPath(wave);
    p.setPen(QColor(190, 220, 255));
    p.setFont(Face(11, true));
    p.drawText(QPointF(14, 19), "KEST FERRONIX");
    p.setPen(Qt::white);
    p.setFont(Face(24, true));
    p.drawText(QPointF(12, 45), QString::fromUtf8("ZO!\u2122 Series"));
    p.setPen(QColor(220, 235, 255));
    p.setFont(Face(10, false));
    p.drawText(QPointF(14, 62), QString::fromUtf8(res::Tr("ISDN terminal adapter configuration")));
    DrawCard(p, QRectF(262, 12, 80, 50));
    return image;
}

QImage StopSign(qreal ratio) {
    QImage image = Blank(50, 50, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        double a = (22.5 + 45.0 * i) * M_PI / 180.0;
        octagon << QPointF(25 + 24 * std::cos(a), 25 + 24 * std::sin(a));
    }
    p.setPen(QPen(Qt::white, 2.5));
    p.setBrush(QColor(200, 16, 30));
    p.drawPolygon(octagon);
    p.setPen(Qt::white);
    p.setFont(Face(13, true));
    p.drawText(QRectF(0, 0, 50, 50), Qt::AlignCenter, "STOP");
    return image;
}

QImage ActiveSign(qreal ratio) {
    QImage image = Blank(50, 50, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(20, 18), 30);
    g.setColorAt(0, QColor(70, 190, 90));
    g.setColorAt(1, QColor(16, 120, 40));
    p.setPen(QPen(Qt::white, 2.5));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 47, 47));
    p.setPen(Qt::white);
    p.setFont(Face(17, true));
    p.drawText(QRectF(0, 0, 50, 50), Qt::AlignCenter, "ZO!");
    return image;
}

QImage YieldSign(qreal ratio) {
    QImage image = Blank(50, 50, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF triangle;
    triangle << QPointF(2, 5) << QPointF(48, 5) << QPointF(25, 47);
    p.setPen(QPen(QColor(200, 16, 30), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(250, 210, 20));
    p.drawPolygon(triangle);
    // The word sits under the top border, as large as the narrowing triangle leaves room
    // for above its baseline, whatever the font at hand.
    const QString word = QStringLiteral("YIELD");
    const double top = 9;
    auto roomAt = [](double y) { return 50 - 2 * (2 + (y - 5) * 23.0 / 42.0 + 3); };
    QFont font;
    QRectF ink;
    for (int px = 10; px >= 6; --px) {
        font = Face(px, true);
        ink = QFontMetricsF(font).tightBoundingRect(word);
        if (ink.width() <= roomAt(top + ink.height())) {
            break;
        }
    }
    p.setPen(QColor(40, 30, 0));
    p.setFont(font);
    p.drawText(QPointF(25 - ink.width() / 2 - ink.left(), top - ink.top()), word);
    return image;
}

QImage Splash(qreal ratio) {
    QImage image = Blank(520, 315, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 520, 315);
    g.setColorAt(0, kNavy);
    g.setColorAt(1, kTeal);
    p.fillRect(QRectF(0, 0, 520, 315), g);
    // Rings spreading from the card: the line coming alive.
    p.setPen(QPen(QColor(255, 255, 255, 40), 3));
    p.setBrush(Qt::NoBrush);
    for (int r = 40; r <= 240; r += 40) {
        p.drawEllipse(QPointF(400, 170), r, r);
    }
    DrawCard(p, QRectF(330, 120, 150, 95));
    p.setPen(QColor(190, 220, 255));
    p.setFont(Face(18, true));
    p.drawText(QPointF(34, 70), "KEST FERRONIX");
    p.setPen(Qt::white);
    p.setFont(Face(64, true));
    p.drawText(QPointF(28, 150), QString::fromUtf8("ZO!\u2122"));
    p.setFont(Face(22, true));
    // TRANSLATORS: under the product's name "ZO!(tm)" on the splash picture; "Series" belongs to
    // the name. Keep it short: the card is drawn to its right.
    p.drawText(QPointF(34, 186), QString::fromUtf8(res::Tr("Series Configuration")));
    p.setPen(QPen(kGold, 3));
    p.drawLine(QPointF(34, 200), QPointF(300, 200));
    p.setPen(QColor(225, 235, 250));
    p.setFont(Face(13, false));
    p.drawText(QPointF(34, 282),
               QString::fromUtf8(res::Tr("Reading the card's identity, one moment please...")));
    return image;
}

}  // namespace

QImage DrawBitmap(int id, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    switch (id) {
        case IDB_BANNER:
            return Banner(ratio);
        case IDB_SIGN_STOP:
            return StopSign(ratio);
        case IDB_SIGN_ACTIVE:
            return ActiveSign(ratio);
        case IDB_SIGN_YIELD:
            return YieldSign(ratio);
        case IDB_SPLASH:
            return Splash(ratio);
        default:
            return {};
    }
}

namespace {

// The highest ratio of the screens: a picture is drawn once, and a screen of a lower ratio
// scales it down smoothly.
qreal PictureRatio() {
    return qApp ? qApp->devicePixelRatio() : 1.0;
}

// Pictures being drawn on threads of their own, until LoadBitmap takes them.
struct Ahead {
    std::mutex mutex;
    std::map<std::pair<int, qreal>, std::future<QImage>> drawing;
};

Ahead& PicturesAhead() {
    static Ahead ahead;
    return ahead;
}

// The pictures drawn so far; user-interface thread.
std::map<std::pair<int, qreal>, QPixmap>& Pictures() {
    static std::map<std::pair<int, qreal>, QPixmap> pictures;
    return pictures;
}

}  // namespace

void DrawBitmapAhead(int id) {
    const auto key = std::make_pair(id, PictureRatio());
    Ahead& ahead = PicturesAhead();
    std::lock_guard<std::mutex> lock(ahead.mutex);
    if (Pictures().count(key) == 0 && ahead.drawing.count(key) == 0) {
        ahead.drawing.emplace(key, std::async(std::launch::async,
                                              [key] { return DrawBitmap(key.first, key.second); }));
    }
}

QPixmap LoadBitmap(int id) {
    const auto key = std::make_pair(id, PictureRatio());
    auto& cache = Pictures();
    auto it = cache.find(key);
    if (it == cache.end()) {
        std::future<QImage> drawing;
        {
            Ahead& ahead = PicturesAhead();
            std::lock_guard<std::mutex> lock(ahead.mutex);
            auto pending = ahead.drawing.find(key);
            if (pending != ahead.drawing.end()) {
                drawing = std::move(pending->second);
                ahead.drawing.erase(pending);
            }
        }
        const QImage image = drawing.valid() ? drawing.get() : DrawBitmap(id, key.second);
        it = cache.emplace(key, QPixmap::fromImage(image)).first;
    }
    return it->second;
}

QImage DrawMessageSign(MessageSign sign, qreal devicePixelRatio) {
    QImage image = Blank(32, 32, devicePixelRatio > 0 ? devicePixelRatio : 1.0);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QString glyph;
    if (sign == MessageSign::Warning) {
        QPolygonF triangle;
        triangle << QPointF(16, 2.5) << QPointF(30, 28.5) << QPointF(2, 28.5);
        p.setPen(QPen(QColor(120, 90, 10), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(kGold);
        p.drawPolygon(triangle);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 30));
        p.drawRoundedRect(QRectF(14.5, 10, 3, 11), 1.5, 1.5);
        p.drawEllipse(QRectF(14.3, 22.5, 3.4, 3.4));
        return image;
    }
    QColor fill = kNavy;
    switch (sign) {
        case MessageSign::Question:
            glyph = QStringLiteral("?");
            fill = kTeal;
            break;
        case MessageSign::Information:
            glyph = QStringLiteral("i");
            fill = kTeal;
            break;
        default:
            fill = QColor(200, 16, 30);
            break;
    }
    p.setPen(QPen(fill.darker(130), 1.2));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    if (sign == MessageSign::Critical) {
        p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
        p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
        return image;
    }
    p.setPen(Qt::white);
    p.setFont(Face(22, true));
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, glyph);
    return image;
}

QPixmap LoadMessageSign(MessageSign sign) {
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    static std::map<std::pair<MessageSign, qreal>, QPixmap> cache;
    const auto key = std::make_pair(sign, ratio);
    auto it = cache.find(key);
    if (it == cache.end()) {
        it = cache.emplace(key, QPixmap::fromImage(DrawMessageSign(sign, ratio))).first;
    }
    return it->second;
}

namespace {

// The icon on a square of 32 units: a navy card with a gold contact strip and "ZO!".
constexpr QRectF kIconCard(2, 6, 28, 21);
constexpr double kIconCorner = 3;
constexpr QRectF kIconStrip(2.5, 8, 3, 17);
const QColor kIconEdge(20, 30, 60);
constexpr int kIconTextPixels = 12;

QRectF IconTextBox(double scale) {
    const QRectF card(kIconCard.topLeft() * scale, kIconCard.size() * scale);
    return card.adjusted(3 * scale, 0, 0, 0);
}

QString SvgNumber(double v) {
    return QString::number(v, 'g', 6);
}

QString SvgColour(const QColor& c) {
    return c.name(QColor::HexRgb);
}

// The outline as SVG path data.
QString SvgPath(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(SvgNumber(e.x), SvgNumber(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(SvgNumber(e.x), SvgNumber(e.y));
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(SvgNumber(e.x), SvgNumber(e.y), SvgNumber(c2.x), SvgNumber(c2.y),
                          SvgNumber(end.x), SvgNumber(end.y));
            i += 2;
        }
    }
    return d;
}

}  // namespace

QImage DrawIcon(int size) {
    QImage image = Blank(size, size, 1.0);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    double s = size / 32.0;
    QRectF card(kIconCard.topLeft() * s, kIconCard.size() * s);
    p.setPen(QPen(kIconEdge, std::max(1.0, s)));
    p.setBrush(kNavy);
    p.drawRoundedRect(card, kIconCorner * s, kIconCorner * s);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawRect(QRectF(kIconStrip.topLeft() * s, kIconStrip.size() * s));
    p.setPen(Qt::white);
    p.setFont(Face(std::max(7, static_cast<int>(kIconTextPixels * s)), true));
    p.drawText(IconTextBox(s), Qt::AlignCenter, size >= 24 ? "ZO!" : "Z");
    return image;
}

QByteArray DrawIconSvg() {
    // The letters as outlines, so that the icon does not depend on the fonts where it is
    // shown; placed as drawText centres them.
    const QFont font = Face(kIconTextPixels, true);
    const QFontMetricsF metrics(font);
    const QString label = QStringLiteral("ZO!");
    const QRectF box = IconTextBox(1.0);
    QPainterPath letters;
    letters.addText(box.center().x() - metrics.horizontalAdvance(label) / 2,
                    box.center().y() - metrics.height() / 2 + metrics.ascent(), font, label);
    QString svg;
    svg += QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
        "viewBox=\"0 0 32 32\">\n");
    svg += QStringLiteral(
               "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\" "
               "stroke=\"%7\" stroke-width=\"1\"/>\n")
               .arg(SvgNumber(kIconCard.x()), SvgNumber(kIconCard.y()),
                    SvgNumber(kIconCard.width()), SvgNumber(kIconCard.height()),
                    SvgNumber(kIconCorner), SvgColour(kNavy), SvgColour(kIconEdge));
    svg +=
        QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
            .arg(SvgNumber(kIconStrip.x()), SvgNumber(kIconStrip.y()),
                 SvgNumber(kIconStrip.width()), SvgNumber(kIconStrip.height()), SvgColour(kGold));
    svg +=
        QStringLiteral("  <path fill=\"#ffffff\" fill-rule=\"%1\" d=\"%2\"/>\n</svg>\n")
            .arg(letters.fillRule() == Qt::OddEvenFill ? "evenodd" : "nonzero", SvgPath(letters));
    return svg.toUtf8();
}

namespace {

// The window icon, drawn at its three sizes the first time any is asked for: a window
// system that shows no icons never has them drawn, nor their fonts loaded.
class AppIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Drawn().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Drawn().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Drawn().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        return {QSize(64, 64), QSize(32, 32), QSize(16, 16)};
    }
    QString key() const override { return QStringLiteral("zo-app-icon"); }
    QIconEngine* clone() const override { return new AppIconEngine; }
    void virtual_hook(int id, void* data) override {
        if (id == QIconEngine::ScaledPixmapHook) {
            auto* arg = static_cast<QIconEngine::ScaledPixmapArgument*>(data);
            arg->pixmap = Drawn().pixmap(arg->size / arg->scale, arg->scale, arg->mode, arg->state);
            return;
        }
        QIconEngine::virtual_hook(id, data);
    }

private:
    static const QIcon& Drawn() {
        static const QIcon icon = [] {
            QIcon drawn;
            drawn.addPixmap(QPixmap::fromImage(DrawIcon(64)));
            drawn.addPixmap(QPixmap::fromImage(DrawIcon(32)));
            drawn.addPixmap(QPixmap::fromImage(DrawIcon(16)));
            return drawn;
        }();
        return icon;
    }
};

}  // namespace

QIcon LoadAppIcon() {
    return QIcon(new AppIconEngine);
}

}  // namespace zo::res
