#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <memory>
#include <mutex>

class FolderHandle;

// The folder where an action keeps the destination files its run replaces:
// <destination>/.tandrel-versions/<run start as yyyy-MM-dd_HHmmss>/, then the file's path
// relative to the destination. Hidden, so no walk ever enters it. It is made at the first file
// kept, exclusively: a stamp already taken (another run in the same second, or another action of
// this run into the same destination) gets a suffix, so nothing kept is ever overwritten. Used
// by the copy threads at once.
class KeptVersions {
public:
    // destination: the action's destination folder, ending with "/".
    KeptVersions(const QByteArray &destination, const QDateTime &runStart);
    ~KeptVersions();
    KeptVersions(const KeptVersions &) = delete;
    KeptVersions &operator=(const KeptVersions &) = delete;

    // Moves the file name of the open folder dir, found at path below the destination, to its
    // place in the versions folder: renamed, never copied, and never through a symbolic link.
    // 0 when it was moved or nothing is there any more; else the errno (ELOOP: a link stands
    // where a folder of the versions should be, ENOTDIR: a file does).
    int keep(int dir, const QByteArray &name, QByteArrayView path);

    // The versions folder relative to the destination once a file was kept there; else empty.
    QByteArray keptIn() const;

private:
    std::shared_ptr<const FolderHandle> folderFor(QByteArrayView sub, int &error);
    int openStampFolder();

    QByteArray destination_;
    QByteArray stamp_;
    mutable std::mutex mutex_;
    std::unique_ptr<FolderHandle> stampFolder_; // none until the first file is kept
    QByteArray stampName_; // with its suffix
    bool kept_ = false;
    // The sub-folder last used: the files of one folder come together.
    QByteArray lastSub_;
    std::shared_ptr<const FolderHandle> lastFolder_;
};

// The file a copy replaces is first moved to versions, at path below the destination.
struct KeepOld {
    KeptVersions *versions;
    QByteArrayView path;
};
