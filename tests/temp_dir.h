#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "qt_print.h"

// A file's whole content; empty when it cannot be read.
QByteArray readFile(const QString &path);

// A real temporary folder for a test, with small helpers to fill it.
class TempDir {
public:
    TempDir();
    // A folder inside base (a memory file system, where many files are quick to make).
    explicit TempDir(const QString &base);
    // The folder's path, ending with "/".
    QString path() const;
    // Path of a name inside the folder.
    QString operator()(const QString &relative) const;
    // Writes a file (creating its folders) and returns its full path.
    QString write(const QString &relative, const QByteArray &content = "x") const;
    // Creates a folder (and its parents) and returns its full path.
    QString mkdir(const QString &relative) const;

private:
    QTemporaryDir dir_;
};
