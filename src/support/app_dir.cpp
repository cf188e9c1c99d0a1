#include "app_dir.h"

#include "app_id.h"
#include "file_helpers.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

bool isWritableFolder(const QString &path)
{
    return FolderExists(path) && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// Installed beside its desktop entry (/usr/bin and /usr/share/applications, or any prefix).
bool isInstalled(const QString &exeDir)
{
    return QFile::exists(
        exeDir + QStringLiteral("/../share/applications/") + AppId() + QStringLiteral(".desktop"));
}

} // namespace

QString ResolveAppDir(const QString &exeDir, const QString &perUserDir)
{
    if (!exeDir.isEmpty() && !isInstalled(exeDir) && isWritableFolder(exeDir))
        return AddBackslash(exeDir);
    if (!perUserDir.isEmpty() && QDir().mkpath(perUserDir) && isWritableFolder(perUserDir))
        return AddBackslash(perUserDir);
    return {};
}
