#include "file_probe.h"

#include <sys/stat.h>
#include <unistd.h>

FileStat ProbeFile(const QByteArray &path)
{
    struct stat st { };
    FileStat result;
    if (::stat(path.constData(), &st) != 0)
        return result;
    result.pathExists = true;
    result.exists = S_ISREG(st.st_mode);
    result.size = st.st_size;
    result.mtime = st.st_mtim.tv_sec;
    return result;
}

bool ProbeFolder(const QByteArray &path)
{
    struct stat st { };
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)
        && ::access(path.constData(), X_OK) == 0;
}
