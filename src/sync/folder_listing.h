#pragma once

#include <QByteArray>

#include <vector>

class WildcardFilter;

// The visible content of one folder, each part sorted by name without regard to case.
// Names are kept as the bytes the file system gives, so that any name can be copied.
struct FolderListing {
    // Regular files (or links to regular files) whose name matches the filter.
    std::vector<QByteArray> files;
    // Real sub-folders: links to folders are never walked.
    std::vector<QByteArray> folders;
};

// Lists folder (a path ending with "/"). Names beginning with "." (hidden) and anything that
// is neither a regular file nor a folder (system) are left out. Throws RunError when the folder
// cannot be read. withFiles false lists the sub-folders only.
FolderListing ListFolder(
    const QByteArray &folder, const WildcardFilter &filter, bool withFiles = true);
