#pragma once

#include <QFile>

#include <sqlite3.h>

// Runs sql on the database file as another program would; false when it fails.
inline bool RunSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const bool done = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
}

// A Tandrel.mdb as made before actions could keep versions: one project, two actions.
inline void WriteOldDatabase(const QString &path)
{
    RunSql(path, R"sql(
CREATE TABLE Templates (TemplateNo INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, Description TEXT);
CREATE TABLE Actions (ActionNo INTEGER PRIMARY KEY AUTOINCREMENT, TemplateNo INTEGER NOT NULL,
  Description TEXT, Enabled TEXT, FileFilter TEXT, FromFolder TEXT, ToFolder TEXT, InclSub TEXT,
  FileDate TEXT, FileSize TEXT, Operator TEXT);
INSERT INTO Templates (Name, Description) VALUES ('Ancien', 'fait avant');
INSERT INTO Actions VALUES (NULL, 1, 'docs', 'OUI', '*.*', '/a', '/b', 'OUI', '>', '<>', 'OR'),
  (NULL, 1, NULL, 'NON', '*.txt', '/c', '/d', 'NON', '', '>', 'AND');
)sql");
}
