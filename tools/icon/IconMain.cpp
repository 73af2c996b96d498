// zo-icon: draws the application icon into an icon theme folder at the sizes desktops
// ask for, as DIR/NxN/apps/zo-config.png, and as DIR/scalable/apps/zo-config.svg.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "res/ui/Artwork.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: zo-icon DIR\n");
        return 2;
    }
    // Drawing needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString file = dir + QStringLiteral("/zo-config.png");
        if (!QDir().mkpath(dir) || !zo::res::DrawIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "zo-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    const QString scalable = root + QStringLiteral("/scalable/apps");
    QFile svg(scalable + QStringLiteral("/zo-config.svg"));
    const QByteArray document = zo::res::DrawIconSvg();
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(document) != document.size() || !svg.flush()) {
        std::fprintf(stderr, "zo-icon: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
