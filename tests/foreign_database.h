#pragma once

#include "project_db.h"

#include <QFile>

#include <sqlite3.h>

// A database with our two tables and a view of its own: SQLite opens it and our queries would
// work, so only the check at opening tells it is not ours.
inline void WriteForeignDatabase(const QString &path)
{
    ProjectDb(path).addProject(QStringLiteral("Sauvegarde"), QString());
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "CREATE VIEW Noms AS SELECT Name FROM Templates", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}
