#pragma once

#include <QFont>
#include <QRect>
#include <string>

#include "res/DialogTemplate.h"

namespace zo::ui {

// The dialog base units of a template font: a horizontal dialog unit is a quarter of
// the font's average character width, a vertical one an eighth of its height.
class DialogUnits {
public:
    DialogUnits() = default;
    DialogUnits(QFont font, int baseX, int baseY);

    // The font a template names, resolved to what this system has, and its base units.
    static DialogUnits ForFont(const std::string& face, int pointSize);
    static DialogUnits ForTemplate(const res::DialogTemplate& t) {
        return ForFont(t.fontFace, t.pointSize);
    }

    const QFont& Font() const { return m_font; }
    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

    int ToPixelsX(int dlu) const;
    int ToPixelsY(int dlu) const;
    QRect ToPixels(const res::DlgRect& r) const;
    QSize ToPixels(int cx, int cy) const { return {ToPixelsX(cx), ToPixelsY(cy)}; }

private:
    QFont m_font;
    int m_baseX = 6;
    int m_baseY = 13;
};

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c);

}  // namespace zo::ui
