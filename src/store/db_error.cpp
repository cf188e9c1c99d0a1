#include "db_error.h"

#include <sqlite3.h>

DbError::DbError(int number, const QString &description)
    : std::runtime_error(description.toStdString())
    , number_(number)
    , description_(description)
{
}

ProjectGone::ProjectGone(const QString &databasePath)
    : DbError(SQLITE_NOTFOUND,
        QStringLiteral("le projet n'existe plus : un autre programme l'a supprimé ou "
                       "remplacé (%1)")
            .arg(databasePath))
{
}

QString DescribeSqliteError(int code)
{
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return QStringLiteral("le fichier n'est pas une base de données");
    case SQLITE_CORRUPT:
        return QStringLiteral("le fichier de base de données est endommagé");
    case SQLITE_CANTOPEN:
        return QStringLiteral("impossible d'ouvrir le fichier de base de données");
    case SQLITE_READONLY:
        return QStringLiteral("la base de données est en lecture seule");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("la base de données est verrouillée par un autre programme");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("accès refusé à la base de données");
    case SQLITE_FULL:
        return QStringLiteral("le disque est plein");
    case SQLITE_IOERR:
        return QStringLiteral("erreur de lecture ou d'écriture de la base de données");
    default:
        return QString::fromUtf8(sqlite3_errstr(code));
    }
}
