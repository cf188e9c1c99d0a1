#include "folder_listing.h"

#include "run_errors.h"
#include "text_match.h"

#include <QFile>
#include <QString>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace {

enum class Kind { File, Folder, Other };

// d_type spares a stat() for most entries; links and unknown types are resolved by stat(),
// which follows links: a link to a file counts as a file, a dangling link as nothing.
Kind kindOf(int dirFd, const dirent *entry)
{
    if (entry->d_type == DT_REG)
        return Kind::File;
    if (entry->d_type == DT_DIR)
        return Kind::Folder;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return Kind::Other;
    struct stat st { };
    if (::fstatat(dirFd, entry->d_name, &st, 0) != 0)
        return Kind::Other;
    if (S_ISREG(st.st_mode))
        return Kind::File;
    // A link to a folder is never walked (no loops); a real folder of unknown type is.
    if (S_ISDIR(st.st_mode) && entry->d_type == DT_UNKNOWN) {
        struct stat lst { };
        if (::fstatat(dirFd, entry->d_name, &lst, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(lst.st_mode))
            return Kind::Folder;
    }
    return Kind::Other;
}

struct SortKey {
    QString folded;
    QByteArray name;
    bool operator<(const SortKey &other) const
    {
        const int c = folded.compare(other.folded);
        return c != 0 ? c < 0 : name < other.name;
    }
};

std::vector<QByteArray> sortedByName(std::vector<SortKey> &keys)
{
    std::sort(keys.begin(), keys.end());
    std::vector<QByteArray> names;
    names.reserve(keys.size());
    for (SortKey &key : keys)
        names.push_back(std::move(key.name));
    return names;
}

} // namespace

FolderListing ListFolder(const QByteArray &folder, const WildcardFilter &filter, bool withFiles)
{
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), ::closedir);
    if (!dir)
        throw SystemError(errno, folder);
    std::vector<SortKey> files, folders;
    errno = 0;
    while (const dirent *entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue; // hidden, and "." and ".."
        const Kind kind = kindOf(::dirfd(dir.get()), entry);
        if (kind == Kind::Folder) {
            const QByteArray name(entry->d_name);
            folders.push_back({QFile::decodeName(name).toCaseFolded(), name});
        } else if (kind == Kind::File && withFiles) {
            const QByteArray name(entry->d_name);
            QString folded = QFile::decodeName(name).toCaseFolded();
            if (filter.matchesFolded(folded))
                files.push_back({std::move(folded), name});
        }
        errno = 0;
    }
    if (errno != 0)
        throw SystemError(errno, folder);
    return {sortedByName(files), sortedByName(folders)};
}
