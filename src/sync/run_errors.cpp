#include "run_errors.h"

#include <QFile>

#include <cerrno>
#include <cstring>

QString DescribeErrno(int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
        return QStringLiteral("Permission refusée");
    case ENOENT:
        return QStringLiteral("Fichier ou dossier introuvable");
    case ENOTDIR:
        return QStringLiteral("N'est pas un dossier");
    case ENOSPC:
        return QStringLiteral("Plus de place sur le disque");
    case EDQUOT:
        return QStringLiteral("Quota de disque dépassé");
    case EROFS:
        return QStringLiteral("Système de fichiers en lecture seule");
    case EIO:
        return QStringLiteral("Erreur d'entrée/sortie");
    case ENOTCONN:
    case ENODEV:
        return QStringLiteral("Le support n'est plus connecté");
    case ENAMETOOLONG:
        return QStringLiteral("Nom de fichier trop long");
    case ELOOP:
        return QStringLiteral("Trop de liens symboliques");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Trop de fichiers ouverts");
    case ENOMEM:
        return QStringLiteral("Mémoire insuffisante");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

RunError SystemError(int err, const QByteArray &path)
{
    return {err, QStringLiteral("%1 (%2)").arg(DescribeErrno(err), QFile::decodeName(path))};
}
