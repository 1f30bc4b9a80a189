// Writes the application icon, as the program draws it, as PNG files for
// the icon theme: make_app_icons <folder> <size>... gives <folder>/<size>.png.

#include "app/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Drawing needs no screen; the build machine may have none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: make_app_icons <folder> <size>...\n");
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;
    for (qsizetype i = 2; i < arguments.size(); ++i) {
        bool ok = false;
        const int size = arguments.at(i).toInt(&ok);
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(size));
        if (!ok || size <= 0 || !AppIcon::Pixmap(size).save(path, "PNG")) {
            std::fprintf(stderr, "make_app_icons: could not write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
