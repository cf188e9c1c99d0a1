// Feeds arbitrary bytes to the INI reader and writer (and to the project import when built with
// it): whatever a file holds, reading, writing back and reading again must neither crash nor
// lose the value just written.
#include "ini_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

const QTemporaryDir &folder()
{
    static const QTemporaryDir dir;
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString path = folder().path() + QStringLiteral("/fuzz.TDRL");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    IniDocument document(path);
    QString value;
    document.find(QStringLiteral("Main"), QStringLiteral("TemplateName"), &value);
    document.find(QStringLiteral("Action1"), QStringLiteral("FromFolder"), &value);

    // A value written must read back exactly, whatever else the file holds.
    const QString written = QStringLiteral("l'été = 100%");
    if (!WriteIni(path, QStringLiteral("Main"), QStringLiteral("Actions"), written))
        std::abort();
    if (ReadIni(path, QStringLiteral("main"), QStringLiteral("ACTIONS"), QString()) != written)
        std::abort();
    return 0;
}
