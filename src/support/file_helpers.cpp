#include "file_helpers.h"

#include "text_match.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

bool hasWildcard(const QString &text)
{
    return text.contains(u'*') || text.contains(u'?');
}

bool isHiddenName(const QString &name)
{
    return name.startsWith(u'.');
}

// A normal file: a regular file (links are followed) whose name does not mark it hidden.
bool isNormalFile(const QByteArray &path, const QString &name)
{
    struct stat st { };
    return !isHiddenName(name) && ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool anyNormalFileMatches(const QString &folder, const QString &pattern)
{
    const QByteArray encodedFolder
        = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(
        ::opendir(encodedFolder.constData()), ::closedir);
    if (!dir)
        return false;
    const WildcardFilter filter(pattern);
    while (const dirent *entry = ::readdir(dir.get())) {
        const QString name = QFile::decodeName(entry->d_name);
        if (filter.matches(name) && isNormalFile(encodedFolder + '/' + entry->d_name, name))
            return true;
    }
    return false;
}

} // namespace

bool FileExists(const QString &fileName, const QString &folder)
{
    const QString full = folder + fileName;
    if (full.isEmpty() || full.endsWith(u'/'))
        return false;
    const qsizetype slash = full.lastIndexOf(u'/');
    const QString name = full.mid(slash + 1);
    if (hasWildcard(name))
        return anyNormalFileMatches(full.left(slash + 1), name);
    return isNormalFile(QFile::encodeName(full), name);
}

bool FolderExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QByteArray encoded = QFile::encodeName(path);
    struct stat st { };
    return ::stat(encoded.constData(), &st) == 0 && S_ISDIR(st.st_mode)
        && ::access(encoded.constData(), X_OK) == 0;
}

void MakeDir(const QString &path)
{
    MakeDir(QFile::encodeName(path));
}

void MakeDir(const QByteArray &path)
{
    QByteArray built;
    const QList<QByteArray> parts = path.split('/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        built += parts[i];
        if (!parts[i].isEmpty())
            ::mkdir(built.constData(), 0777); // failures are skipped
        if (i + 1 < parts.size())
            built += '/';
    }
}

QString AddBackslash(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {};
    return path.endsWith(u'/') ? path : path + u'/';
}

QString GetExtension(const QString &fileName, bool withDot)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString extension = dot < 0 ? fileName : fileName.mid(dot + 1);
    return withDot ? u'.' + extension : extension;
}
