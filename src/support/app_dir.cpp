#include "app_dir.h"

#include "file_helpers.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

bool isWritableFolder(const QString &path)
{
    return FolderExists(path) && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

} // namespace

QString ResolveAppDir(const QString &exeDir, const QString &perUserDir)
{
    if (!exeDir.isEmpty() && isWritableFolder(exeDir))
        return AddBackslash(exeDir);
    if (!perUserDir.isEmpty() && QDir().mkpath(perUserDir) && isWritableFolder(perUserDir))
        return AddBackslash(perUserDir);
    return {};
}
