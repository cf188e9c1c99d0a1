#include "autostart_entry.h"

#include "app_id.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

// One argument of an Exec key: quoted when it holds a reserved character, then escaped as a
// desktop-entry string, so that a program path with spaces, quotes or "%" stays one argument.
QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString text = argument;
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return reserved.contains(c); })) {
        QString quoted;
        for (QChar c : std::as_const(text)) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        text = u'"' + quoted + u'"';
    }
    text.replace(u'%', QStringLiteral("%%"));
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u'\n', QStringLiteral("\\n"));
    text.replace(u'\t', QStringLiteral("\\t"));
    text.replace(u'\r', QStringLiteral("\\r"));
    return text;
}

QString entryText(const QString &program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Tandrel\n"
                          "Comment=Synchronisations programmées de Tandrel\n"
                          "Exec=%1 %2\n"
                          "Icon=%3\n"
                          "Terminal=false\n")
        .arg(execArgument(program), QLatin1String(StartMinimizedOption), AppId());
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

QString AutostartFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/") + AppId() + QStringLiteral(".desktop");
}

bool AutostartEnabled(const QString &file)
{
    QFile entry(file);
    if (!entry.open(QIODevice::ReadOnly))
        return false;
    bool inMainGroup = false;
    while (!entry.atEnd()) {
        const QByteArray line = entry.readLine().trimmed();
        if (line.startsWith('['))
            inMainGroup = line == "[Desktop Entry]";
        else if (inMainGroup
            && (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false"))
            return false;
    }
    return true;
}

QString WriteAutostart(const QString &file, const QString &program)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("impossible de créer le dossier %1").arg(folder);
    QSaveFile entry(file);
    if (!entry.open(QIODevice::WriteOnly) || entry.write(entryText(program).toUtf8()) < 0
        || !entry.commit())
        return QStringLiteral("impossible d'écrire le fichier %1 (%2)")
            .arg(file, entry.errorString());
    return {};
}

QString RemoveAutostart(const QString &file)
{
    if (::unlink(QFile::encodeName(file).constData()) != 0 && errno != ENOENT)
        return QStringLiteral("impossible de supprimer le fichier %1 (%2)")
            .arg(file, systemError());
    return {};
}
