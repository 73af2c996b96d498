#include "x11/PixelProbe.h"

#include <QColor>
#include <cstdlib>

namespace zo::test {
namespace {

bool Near(QRgb a, QRgb b) {
    constexpr int kTolerance = 12;
    return std::abs(qRed(a) - qRed(b)) <= kTolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= kTolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= kTolerance;
}

}  // namespace

std::optional<QPoint> FindPicture(const QImage& screen, const QRect& area, const QImage& picture) {
    const QRect within = area.intersected(screen.rect());
    if (picture.isNull() || within.width() < picture.width() ||
        within.height() < picture.height()) {
        return std::nullopt;
    }
    const QImage pic = picture.convertToFormat(QImage::Format_RGB32);
    constexpr int kGrid = 16;
    for (int dy = 0; dy + pic.height() <= within.height(); ++dy) {
        for (int dx = 0; dx + pic.width() <= within.width(); ++dx) {
            int misses = 0;
            for (int gy = 0; gy < kGrid && misses < 8; ++gy) {
                for (int gx = 0; gx < kGrid && misses < 8; ++gx) {
                    const int px = (2 * gx + 1) * pic.width() / (2 * kGrid);
                    const int py = (2 * gy + 1) * pic.height() / (2 * kGrid);
                    if (!Near(screen.pixel(within.x() + dx + px, within.y() + dy + py),
                              pic.pixel(px, py))) {
                        ++misses;
                    }
                }
            }
            if (misses < 8) {
                return QPoint(within.x() + dx, within.y() + dy);
            }
        }
    }
    return std::nullopt;
}

double ChangedShare(const QImage& a, const QImage& b, const QRect& area, const QRect& except) {
    const QRect within = area.intersected(a.rect()).intersected(b.rect());
    long changed = 0;
    long counted = 0;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (except.contains(x, y)) {
                continue;
            }
            ++counted;
            changed += Near(a.pixel(x, y), b.pixel(x, y)) ? 0 : 1;
        }
    }
    return counted ? double(changed) / double(counted) : 0.0;
}

int FilledPixels(const QImage& screen, const QRect& area) {
    const QRect within = area.intersected(screen.rect());
    int filled = 0;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            const QColor c(screen.pixel(x, y));
            // A saturated colour among the greys of a dialog: the bar's fill.
            if (c.hsvSaturation() > 100 && c.value() > 60) {
                ++filled;
            }
        }
    }
    return filled;
}

}  // namespace zo::test
