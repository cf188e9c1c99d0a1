#include "report_file.h"

#include <QFile>

QString ReportFilePath(const QString &appDir, const QString &projectName)
{
    QString name = projectName;
    name.replace(u'/', u'_').replace(QChar(u'\0'), u'_');
    return appDir + name + QStringLiteral(".log");
}

bool AppendReportLines(const QString &path, const QStringList &lines)
{
    QByteArray data;
    for (const QString &line : lines) {
        data += line.toUtf8();
        data += "\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const bool written = file.write(data) == data.size();
    return file.flush() && written && (file.close(), file.error() == QFileDevice::NoError);
}
