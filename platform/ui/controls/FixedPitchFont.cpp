#include "platform/ui/controls/FixedPitchFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace zo::ui {

namespace {

QFont WithFamily(const QFont& base, const QString& family) {
    QFont font = base;
    font.setFamilies({family});
    return font;
}

}  // namespace

QFont FixedPitchFont() {
    const QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(system).fixedPitch()) {
        return system;
    }
    // A family can be listed as fixed pitch yet resolve to another face (an alias, a
    // missing style), so each candidate is checked as it will be drawn.
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::isFixedPitch(family)) {
            continue;
        }
        QFont candidate = WithFamily(system, family);
        if (QFontInfo(candidate).fixedPitch()) {
            return candidate;
        }
    }
    return system;
}

}  // namespace zo::ui
