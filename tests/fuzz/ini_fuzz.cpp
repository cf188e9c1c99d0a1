// Feeds arbitrary bytes to the INI reader and writer and to the project import: whatever a file
// holds, importing it, writing a value and reading it back must neither crash nor lose the
// value just written.
#include "ini_file.h"
#include "project_db.h"
#include "project_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

// In memory when the system offers it: every input is written and imported through real files.
const QTemporaryDir &folder()
{
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
            ? QStringLiteral("/dev/shm/tandrel-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/tandrel-fuzz-XXXXXX"));
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
    static ProjectDb db(folder().path() + QStringLiteral("/Tandrel.mdb"));
    const ExchangeResult imported = ImportProject(db, path);
    if (imported.ok)
        db.deleteProject(imported.templateNo); // keeps the database small

    // A value written must read back exactly, whatever else the file holds.
    const QString written = QStringLiteral("l'été = 100%");
    if (!WriteIni(path, QStringLiteral("Main"), QStringLiteral("Actions"), written))
        std::abort();
    if (ReadIni(path, QStringLiteral("main"), QStringLiteral("ACTIONS"), QString()) != written)
        std::abort();
    return 0;
}
