#pragma once

#include "recording_observer.h"
#include "run_driver.h"
#include "temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

inline Action makeAction(const QString &from, const QString &to, const QString &inclSub,
    const QString &filter = QStringLiteral("*.*"))
{
    // Copied when the size differs or the origin is newer.
    return {0, 0, {}, "OUI", filter, from, to, inclSub, ">", "<>", "OR"};
}

// Project "Sauvegarde" run at a fixed time, with "." grouping thousands; its report is saved.
inline RunRequest makeRequest(const QString &app, std::vector<Action> actions,
    RunMode mode = RunMode::Synchronize, bool showAll = false)
{
    return {"Sauvegarde", app, mode, showAll, true, std::move(actions), QLocale(QLocale::German),
        [] { return QDateTime(QDate(2026, 12, 5), QTime(14, 3, 27)); }};
}

inline RunOutcome runProject(const RunRequest &request, RecordingObserver &observer)
{
    std::atomic<bool> cancel {false};
    return RunDriver::run(request, observer, cancel);
}

// An origin, a destination and an application folder in one temporary folder.
struct Folders {
    explicit Folders(const QString &base = QDir::tempPath())
        : dir(base)
    {
    }
    TempDir dir;
    QString origin = dir.mkdir("Origine") + '/', destination = dir.mkdir("Destination") + '/',
            app = dir.mkdir("app") + '/';

    // Runs one action from the origin into the destination, with sub-folders ("OUI") or not.
    RunOutcome run(RecordingObserver &observer, const QString &inclSub = QStringLiteral("OUI"),
        RunMode mode = RunMode::Synchronize) const
    {
        return runProject(
            makeRequest(app, {makeAction(origin, destination, inclSub)}, mode), observer);
    }
};

// The report file's expected content for these screen lines: all but the last, CR LF each.
inline QByteArray asReportFile(const QStringList &lines)
{
    QByteArray data;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        data += lines[i].toUtf8() + "\r\n";
    return data;
}

// An empty file by its raw name (which may not be UTF-8).
inline void touch(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ::close(fd);
}

inline void setModified(const QString &path, qint64 seconds)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

inline QStringList everything(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The "found" line of a recursive action with the default filter.
inline QString foundLine(int count)
{
    return QStringLiteral("    - Filtre de fichiers : *.* - %1 fichier(s) trouvé(s)!").arg(count);
}

// The file lines of the (first) action: past its "found" line and blank, to the next blank.
inline QStringList fileLines(const QStringList &lines)
{
    qsizetype from = 0;
    while (from < lines.size() && !lines[from].startsWith("    - Filtre de fichiers : "))
        ++from;
    from += 2;
    return lines.mid(from, lines.indexOf(QStringLiteral(" "), from) - from);
}

inline QString failed(const QString &path, const char *cause)
{
    return "     >>  " + path + " - (Erreur: " + QString::fromUtf8(cause) + ')';
}

inline QString madeLine(const QString &folder)
{
    return "    - Nota : Création du dossier destination (" + folder.toLower() + ')';
}
