#include "comic_font.h"

#include <QApplication>
#include <QFontDatabase>

QString ComicFamily(const QStringList &installed)
{
    for (const QString &family : {QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue")})
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    return {};
}

QFont ComicFont()
{
    QFont font = QApplication::font();
    const QString family = ComicFamily(QFontDatabase::families());
    if (!family.isEmpty())
        font.setFamilies({family});
    return font;
}
