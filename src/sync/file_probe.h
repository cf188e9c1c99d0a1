#pragma once

#include <QByteArray>
#include <QtGlobal>

// Size and modification time of a normal file, as one stat() call gives them.
struct FileStat {
    bool exists = false; // a regular file (links followed) is there
    bool pathExists = false; // something is there, file or not
    qint64 size = 0;
    qint64 mtime = 0; // whole seconds: copies keep the origin's time to the second
};

FileStat ProbeFile(const QByteArray &path);

// True when path is a folder that can be entered.
bool ProbeFolder(const QByteArray &path);
