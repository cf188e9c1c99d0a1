// Writes the installed icons from the window icon's own drawing: a PNG of each size given, in
// the hicolor theme's layout, and a scalable SVG. Usage: draw_icons OUTPUT_FOLDER SIZE...
#include "app_icon.h"
#include "app_id.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {

bool writePng(const QString &folder, int size)
{
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
    return QDir().mkpath(dir)
        && AppIconPixmap(size).save(dir + '/' + AppId() + QStringLiteral(".png"), "PNG");
}

bool writeSvg(const QString &folder)
{
    const QString dir = folder + QStringLiteral("/scalable/apps");
    if (!QDir().mkpath(dir))
        return false;
    QSvgGenerator svg;
    svg.setFileName(dir + '/' + AppId() + QStringLiteral(".svg"));
    svg.setSize(QSize(64, 64));
    svg.setViewBox(QRect(0, 0, 64, 64));
    svg.setTitle(QStringLiteral("Tandrel"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    DrawAppIcon(painter);
    return painter.end();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // drawn at build time, without a display
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: draw_icons OUTPUT_FOLDER SIZE...\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0 || !writePng(folder, size))
            return 1;
    }
    return writeSvg(folder) ? 0 : 1;
}
