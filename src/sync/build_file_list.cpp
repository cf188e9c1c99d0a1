#include "copy_routines.h"

#include "folder_listing.h"
#include "run_context.h"
#include "run_observer.h"
#include "text_match.h"

#include <deque>

namespace {

constexpr std::size_t maxListedFiles = 32000;

} // namespace

// Walks the origin tree level by level; the files of each folder come in the order the folders
// are reached, the origin's own files first.
void BuildFileList(RunContext &run)
{
    run.setTitle(QStringLiteral("Création de la liste des fichiers - Patientez SVP..."));
    run.fileList.clear();
    const WildcardFilter filter(run.FileFilter);
    std::deque<QByteArray> queue {QByteArray()};
    while (!queue.empty()) {
        run.stopIfCancelled();
        const QByteArray folder = std::move(queue.front());
        queue.pop_front();
        FolderListing listing = ListFolder(run.fromPath + folder, filter);
        for (const QByteArray &sub : listing.folders) {
            QByteArray relative = folder + sub + '/';
            if (relative != run.skipFolder)
                queue.push_back(std::move(relative));
        }
        for (const QByteArray &name : listing.files) {
            if (run.fileList.size() == maxListedFiles) {
                run.observer.fileLimitReached(QStringLiteral(
                    "Erreur: Nombre de fichiers maximum atteint! (max. 32000 fichiers possibles)"));
                return;
            }
            run.fileList.push_back(folder + name);
        }
    }
    run.setTitle(QStringLiteral("Liste de fichiers créée! %1 fichiers sélectionnés suivant les "
                                "critères.")
                     .arg(run.fileList.size()));
}
