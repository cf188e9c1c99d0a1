#include "temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

TempDir::TempDir()
    : TempDir(QDir::tempPath())
{
}

TempDir::TempDir(const QString &base)
    : dir_(base + QStringLiteral("/tandrel-test-XXXXXX"))
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempDir::path() const
{
    return dir_.path() + '/';
}

QString TempDir::operator()(const QString &relative) const
{
    return path() + relative;
}

QString TempDir::write(const QString &relative, const QByteArray &content) const
{
    const QString full = (*this)(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error("cannot write " + full.toStdString());
    return full;
}

QString TempDir::mkdir(const QString &relative) const
{
    const QString full = (*this)(relative);
    if (!QDir().mkpath(full))
        throw std::runtime_error("cannot create " + full.toStdString());
    return full;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
