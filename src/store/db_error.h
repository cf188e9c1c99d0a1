#pragma once

#include <QString>

#include <stdexcept>

// A failure of the project database: an error number and a French description, as the
// error boxes show them.
class DbError : public std::runtime_error {
public:
    DbError(int number, const QString &description);
    int number() const { return number_; }
    QString description() const { return description_; }

private:
    int number_;
    QString description_;
};

// A write whose project no longer exists: another program deleted or replaced it.
class ProjectGone : public DbError {
public:
    explicit ProjectGone(const QString &databasePath);
};

// The French description of an SQLite result code.
QString DescribeSqliteError(int code);
