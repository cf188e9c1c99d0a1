#include "schedule_command.h"

#include "cli_options.h"
#include "console_observer.h"
#include "unit_escape.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

// systemd refuses longer unit names.
constexpr qsizetype longestUnitName = 255;

// One argument of ExecStart=: quoted, with "\" and the quote escaped, and "%" and "$" doubled
// so that systemd takes them literally rather than as specifiers or variables.
QString execArgument(const QString &argument)
{
    QString out;
    for (const QChar c : argument) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        if (c == u'\n') {
            out += QStringLiteral("\\n");
            continue;
        }
        if (c == u'%' || c == u'$')
            out += c;
        out += c;
    }
    return u'"' + out + u'"';
}

// A one-line description: "%" doubled, control characters as spaces.
QString description(const QString &projectName)
{
    QString name = projectName;
    for (QChar &c : name)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    name.replace(u'%', QStringLiteral("%%"));
    return QStringLiteral("Tandrel : synchronisation du projet « %1 »").arg(name);
}

QString serviceText(const QString &program, const QString &appDir, const QString &project)
{
    QStringList command;
    for (const QString &argument : {program, QStringLiteral("--app-dir"), appDir,
             QStringLiteral("run"), QStringLiteral("--quiet"), QStringLiteral("--"), project})
        command << execArgument(argument);
    return QStringLiteral("[Unit]\nDescription=%1\n\n[Service]\nType=oneshot\nExecStart=%2\n")
        .arg(description(project), command.join(u' '));
}

// The calendar event: every day at hh:mm, or once at that date and time.
QString calendar(const CliOptions &options)
{
    if (options.when == CliOptions::When::Daily)
        return QStringLiteral("*-*-* %1:00").arg(options.time);
    const QDateTime at = QDateTime::fromString(options.time, QStringLiteral("dd.MM.yyyy HH:mm"));
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:00"));
}

QString timerText(const CliOptions &options)
{
    // Persistent: a run missed while the machine was off or asleep is made at the next start.
    return QStringLiteral("[Unit]\nDescription=%1\n\n[Timer]\nOnCalendar=%2\nPersistent=true\n\n"
                          "[Install]\nWantedBy=timers.target\n")
        .arg(description(options.projectName), calendar(options));
}

bool writeUnit(const QString &path, const QString &text)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit();
}

void print(const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

ExitCode removeUnits(const QString &folder, const QString &base, ConsoleObserver &console)
{
    const QString timer = base + QStringLiteral(".timer");
    bool found = false;
    // The link that `systemctl --user enable` made goes too: it would point at nothing.
    for (const QString &file : {QStringLiteral("timers.target.wants/") + timer, timer,
             base + QStringLiteral(".service")}) {
        const QString path = folder + u'/' + file;
        if (!QFileInfo(path).isSymLink() && !QFile::exists(path))
            continue;
        found = true;
        if (!QFile::remove(path)) {
            console.error(QStringLiteral("tandrel-cli: impossible de supprimer %1").arg(path));
            return ExitUsage;
        }
    }
    if (!found) {
        console.error(
            QStringLiteral("tandrel-cli: aucune minuterie %1 dans %2").arg(timer, folder));
        return ExitUsage;
    }
    print(QStringLiteral("Minuterie %1 supprimée. Pour l'arrêter tout de suite :\n"
                         "  systemctl --user stop '%1'\n  systemctl --user daemon-reload")
              .arg(timer));
    return ExitOk;
}

} // namespace

QString TimerUnitBase(const QString &projectName)
{
    return QStringLiteral("tandrel-") + SystemdEscape(projectName);
}

QString SystemdUserFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config)) // an unset or relative value is ignored, as XDG says
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/systemd/user");
}

ExitCode ScheduleCommand(const CliOptions &options, const QString &appDir, const QString &program,
    ConsoleObserver &console)
{
    const QString base = TimerUnitBase(options.projectName);
    if (base.size() + qsizetype(sizeof(".service")) > longestUnitName) {
        console.error(QStringLiteral("tandrel-cli: nom de projet trop long pour une minuterie "
                                     "systemd : « %1 »")
                          .arg(options.projectName));
        return ExitUsage;
    }
    const QString folder = SystemdUserFolder();
    if (options.when == CliOptions::When::Remove)
        return removeUnits(folder, base, console);
    if (options.when == CliOptions::When::At
        && QDateTime::fromString(options.time, QStringLiteral("dd.MM.yyyy HH:mm"))
            <= QDateTime::currentDateTime()) {
        console.error(
            QStringLiteral("tandrel-cli: la date « %1 » est déjà passée").arg(options.time));
        return ExitUsage;
    }
    const QString timer = base + QStringLiteral(".timer");
    if (!QDir().mkpath(folder)
        || !writeUnit(folder + u'/' + base + QStringLiteral(".service"),
            serviceText(program, appDir, options.projectName))
        || !writeUnit(folder + u'/' + timer, timerText(options))) {
        console.error(
            QStringLiteral("tandrel-cli: impossible d'écrire la minuterie dans %1").arg(folder));
        return ExitUsage;
    }
    print(QStringLiteral("Minuterie écrite : %1/%2\nPour la mettre en marche :\n"
                         "  systemctl --user daemon-reload\n  systemctl --user enable --now '%2'")
              .arg(folder, timer));
    return ExitOk;
}
