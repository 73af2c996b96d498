#include "platform/ui/dialogs/DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>
#include <cstdlib>
#include <map>
#include <utility>

namespace zo::ui {
namespace {

// Fonts of the same build that stand in for the faces the templates name.
QStringList Families(const std::string& face) {
    QString f = QString::fromStdString(face);
    if (f.compare("Courier", Qt::CaseInsensitive) == 0 ||
        f.compare("Courier New", Qt::CaseInsensitive) == 0) {
        return {f, "Courier New", "Liberation Mono", "Cousine", "DejaVu Sans Mono", "Monospace"};
    }
    return {f, "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans", "Sans Serif"};
}

}  // namespace

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return 0;
    }
    long long n = static_cast<long long>(a) * b;
    long long q = (std::llabs(n) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int>(((n < 0) != (c < 0)) ? -q : q);
}

DialogUnits::DialogUnits(QFont font, int baseX, int baseY)
    : m_font(std::move(font)), m_baseX(baseX), m_baseY(baseY) {}

DialogUnits DialogUnits::ForFont(const std::string& face, int pointSize) {
    static std::map<std::pair<std::string, int>, DialogUnits> cache;
    auto key = std::make_pair(face, pointSize);
    auto it = cache.find(key);
    if (it != cache.end()) {
        return it->second;
    }
    QFont font;
    font.setFamilies(Families(face));
    font.setPointSize(pointSize > 0 ? pointSize : 8);
    bool fixed = Families(face).contains("Courier New");
    font.setStyleHint(fixed ? QFont::TypeWriter : QFont::SansSerif);
    font.setFixedPitch(fixed);
    QFontMetrics fm(font);
    // The average width the window system uses: the 52 letters, rounded as it rounds.
    int cx = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int baseX = (cx / 26 + 1) / 2;
    int baseY = fm.height();
    if (baseX <= 0) {
        baseX = 6;
    }
    if (baseY <= 0) {
        baseY = 13;
    }
    DialogUnits units(font, baseX, baseY);
    cache.emplace(key, units);
    return units;
}

int DialogUnits::ToPixelsX(int dlu) const {
    return MulDiv(dlu, m_baseX, 4);
}

int DialogUnits::ToPixelsY(int dlu) const {
    return MulDiv(dlu, m_baseY, 8);
}

// Edges are converted, not sizes, so that controls that touch in dialog units touch on screen.
QRect DialogUnits::ToPixels(const res::DlgRect& r) const {
    int left = ToPixelsX(r.x);
    int top = ToPixelsY(r.y);
    return {left, top, ToPixelsX(r.x + r.cx) - left, ToPixelsY(r.y + r.cy) - top};
}

}  // namespace zo::ui
