#include "copy_routines.h"

#include "folder_listing.h"
#include "run_context.h"
#include "run_errors.h"
#include "run_observer.h"
#include "text_match.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <span>
#include <thread>
#include <vector>

namespace {

// Folders listed at once: the names of a slice wait in memory until they join the list.
constexpr std::size_t sliceSize = 64;
// Folders listed together: two on a local disk; more on a share, where each call waits.
constexpr int listThreads = 2;
constexpr int slowListThreads = 16;

// One folder's listing, or the error that listing it raised.
struct Listed {
    FolderListing listing;
    std::optional<RunError> error;
};

// Lists folders of one level of the tree on several threads; the results keep the folders'
// order, so the walk reads exactly as if they had been listed one after the other.
std::vector<Listed> listLevel(
    const RunContext &run, std::span<const QByteArray> level, const WildcardFilter &filter)
{
    std::vector<Listed> results(level.size());
    std::atomic<std::size_t> next {0};
    const auto work = [&] {
        for (std::size_t i = next++; i < level.size() && !run.cancel.load(); i = next++) {
            try {
                results[i].listing = ListFolder(run.fromPath + level[i], filter);
            } catch (const RunError &error) {
                results[i].error = error;
            }
        }
    };
    const std::size_t helpers
        = std::min(level.size(), std::size_t(run.originSlow ? slowListThreads : listThreads)) - 1;
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < helpers; ++t)
        threads.emplace_back(work);
    work();
    for (std::thread &thread : threads)
        thread.join();
    return results;
}

} // namespace

// Walks the origin tree level by level: first the origin, then its sub-folders in name order,
// then theirs. The files of each folder come in that order, the origin's own files first.
void BuildFileList(RunContext &run)
{
    run.setTitle(QStringLiteral("Création de la liste des fichiers - Patientez SVP..."));
    run.fileList.clear();
    const WildcardFilter filter(run.FileFilter);
    std::vector<QByteArray> level {QByteArray()};
    while (!level.empty()) {
        std::vector<QByteArray> below;
        for (std::size_t first = 0; first < level.size(); first += sliceSize) {
            const std::span<const QByteArray> slice
                = std::span(level).subspan(first, std::min(sliceSize, level.size() - first));
            std::vector<Listed> listed = listLevel(run, slice, filter);
            for (std::size_t i = 0; i < slice.size(); ++i) {
                run.stopIfCancelled();
                if (listed[i].error)
                    throw *listed[i].error;
                for (const QByteArray &sub : listed[i].listing.folders) {
                    QByteArray relative = slice[i] + sub + '/';
                    if (relative != run.skipFolder)
                        below.push_back(std::move(relative));
                }
                for (const QByteArray &name : listed[i].listing.files)
                    run.fileList.append(slice[i], name);
            }
        }
        level = std::move(below);
    }
    run.setTitle(QStringLiteral("Liste de fichiers créée! %1 fichiers sélectionnés suivant les "
                                "critères.")
                     .arg(run.fileList.size()));
}
