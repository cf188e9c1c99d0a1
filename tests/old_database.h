#pragma once

#include <QFile>
#include <QString>

#include <sqlite3.h>

// A Tandrel.mdb as versions before the KeepVersions column made it: one project, two actions.
inline void WriteOldDatabase(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, R"sql(
CREATE TABLE Templates (TemplateNo INTEGER PRIMARY KEY AUTOINCREMENT,
                        Name TEXT, Description TEXT);
CREATE TABLE Actions   (ActionNo INTEGER PRIMARY KEY AUTOINCREMENT,
                        TemplateNo INTEGER NOT NULL,
                        Description TEXT, Enabled TEXT, FileFilter TEXT,
                        FromFolder TEXT, ToFolder TEXT, InclSub TEXT,
                        FileDate TEXT, FileSize TEXT, Operator TEXT);
INSERT INTO Templates (Name, Description) VALUES ('Ancien', 'fait avant');
INSERT INTO Actions VALUES (NULL, 1, 'docs', 'OUI', '*.*', '/a', '/b', 'OUI', '>', '<>', 'OR');
INSERT INTO Actions VALUES (NULL, 1, NULL, 'NON', '*.txt', '/c', '/d', 'NON', '', '>', 'AND');
)sql",
        nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The KeepVersions column of every action, "/"-separated, as another program reads the file;
// "<none>" when the table has no such column.
inline QString StoredKeepVersions(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    QString flags = QStringLiteral("<none>");
    if (sqlite3_prepare_v2(
            db, "SELECT group_concat(KeepVersions, '/') FROM Actions", -1, &stmt, nullptr)
            == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        flags = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return flags;
}
