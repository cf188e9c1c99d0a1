#pragma once

#include "old_database.h"
#include "project_db.h"

// A database with our two tables and a trigger of its own, which would loop inside our writes:
// SQLite opens it and our queries would work, so only the check at opening tells it is not ours.
inline void WriteForeignDatabase(const QString &path)
{
    ProjectDb(path).addProject(QStringLiteral("Sauvegarde"), QString());
    RunSql(path, "CREATE TRIGGER again AFTER INSERT ON Templates BEGIN "
                 "INSERT INTO Templates (Name) VALUES (NEW.Name); END");
}
