#include "startup.h"

#include "app_dir.h"
#include "app_options.h"
#include "error_box.h"
#include "frm_main.h"
#include "prompter.h"

#include <QLockFile>

namespace {

// The number the error box shows when no application folder can be used (path/file access).
constexpr int noAppDirError = 75;

} // namespace

Startup::Startup() = default;
Startup::Startup(Startup &&) noexcept = default;
Startup &Startup::operator=(Startup &&) noexcept = default;
Startup::~Startup() = default;

Startup StartTandrel(Prompter &prompter, const QString &exeDir, const QString &perUserDir)
{
    Startup startup;
    startup.exitCode = 1;
    const QString appDir = ResolveAppDir(exeDir, perUserDir);
    if (appDir.isEmpty()) {
        ShowErrorBox(prompter, nullptr, noAppDirError,
            QStringLiteral("aucun dossier de l'application accessible en écriture "
                           "(%1, %2)")
                .arg(exeDir, perUserDir));
        return startup;
    }

    // Two windows on one folder would mean two schedulers running the same projects.
    auto lock = std::make_unique<QLockFile>(appDir + QStringLiteral("Tandrel.lock"));
    lock->setStaleLockTime(0); // only a lock whose process has ended is stale
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            prompter.information(nullptr, QStringLiteral("Tandrel"),
                QStringLiteral("Tandrel est déjà ouvert pour le dossier %1.\n"
                               "Utilisez la fenêtre déjà ouverte.")
                    .arg(appDir));
        else
            ShowErrorBox(prompter, nullptr, noAppDirError,
                QStringLiteral("impossible de créer le fichier %1")
                    .arg(appDir + QStringLiteral("Tandrel.lock")));
        return startup;
    }

    auto window = std::make_unique<frm_main>(prompter);
    if (!window->Form_Load(appDir))
        return startup;
    startup.instanceLock = std::move(lock);
    startup.window = std::move(window);
    startup.exitCode = 0;
    return startup;
}

void ShowMainWindow(frm_main &window, const AppOptions &options)
{
    // The window's own state change puts it in the tray.
    if (options.minimized)
        window.showMinimized();
    else
        window.show();
}
